<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>VLoginPage</name>
    <message>
        <source>登  录</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>登录认证中...</source>
        <translation>Verifying your identity...</translation>
    </message>
    <message>
        <source>请输入手机号码</source>
        <translation>Please enter your mobile number</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>Please enter the verification code</translation>
    </message>
    <message>
        <source>验证码错误，请重新输入</source>
        <translation>Wrong code. Please re-enter.</translation>
    </message>
    <message>
        <source>Mobile number</source>
        <translation>Phone number</translation>
    </message>
    <message>
        <source>SMS verification code</source>
        <translation>SMS code</translation>
    </message>
</context>
</TS>
