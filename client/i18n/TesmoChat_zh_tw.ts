<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>VLoginPage</name>
    <message>
        <source>登  录</source>
        <translation>登  录</translation>
    </message>
    <message>
        <source>登录认证中...</source>
        <translation>登录认证中...</translation>
    </message>
    <message>
        <source>请输入手机号码</source>
        <translation>请输入手机号码</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>请输入验证码</translation>
    </message>
    <message>
        <source>验证码错误，请重新输入</source>
        <translation>验证码错误，请重新输入</translation>
    </message>
    <message>
        <source>Mobile number</source>
        <translation>手机号码</translation>
    </message>
    <message>
        <source>SMS verification code</source>
        <translation>短信验证码</translation>
    </message>
</context>
</TS>
