import QtQuick 2.12
import "../translator"

// The emoji table: 60 named emoji (rows), 171 numbered ones ("[q_000]" to "[q_170]")
// and 70 stickers ("emotion_gif_001" to "emotion_gif_070"). A message carries a named
// emoji as its Chinese caption in brackets; the English caption is understood too.
ListModel {
    id: emojiListModel

    readonly property string namedPrefix: "qrc:/images/emoji/emoji_"
    readonly property string numberedPrefix: "qrc:/images/emoji/emoji_q/q_"
    readonly property string stickerPrefix: "qrc:/images/emoji/emoji_south_korea/emotion_gif_"
    readonly property int numberedCount: 171
    readonly property int stickerCount: 70

    function threeDigitsPadZero(num) {
        if (num < 10)
            return "00" + num
        if (num < 100)
            return "0" + num
        return "" + num
    }

    // The row index of a bracketed caption in either language, or -1.
    function _namedIndex(name) {
        for (var i = 0; i < count; ++i) {
            var halves = get(i).translator.split("&&")
            if (halves[0] === name || halves[1] === name)
                return i
        }
        return -1
    }

    // The number of a code "[q_NNN]" in range, or -1.
    function _numberedIndex(name) {
        var match = /^\[q_(\d{3})\]$/.exec(String(name))
        if (!match)
            return -1
        var number = parseInt(match[1], 10)
        return number < numberedCount ? number : -1
    }

    function getQrcUrlByName(name) {
        var row = _namedIndex(name)
        if (row >= 0)
            return get(row).emoji
        var number = _numberedIndex(name)
        if (number >= 0)
            return numberedPrefix + threeDigitsPadZero(number) + ".png"
        return ""
    }

    // The caption in the interface language: English for English, Chinese otherwise.
    function getEmojiTextByFormatText(name) {
        var row = _namedIndex(name)
        if (row >= 0) {
            var halves = get(row).translator.split("&&")
            return vTranslator.language === 0 ? halves[0] : halves[1]
        }
        if (_numberedIndex(name) >= 0)
            return "[" + VTr.emoticon + "]"
        return name
    }

    function getQrcUrlByGifName(name) {
        var match = /^emotion_gif_(\d{3})$/.exec(String(name))
        if (!match)
            return ""
        var number = parseInt(match[1], 10)
        return number >= 1 && number <= stickerCount ? stickerPrefix + match[1] + ".png" : ""
    }

    function getNameByQrcUrl(qrcUrl) {
        var url = String(qrcUrl)
        for (var i = 0; i < count; ++i) {
            if (get(i).emoji === url)
                return get(i).translator.split("&&")[1]
        }
        var match = /^qrc:\/images\/emoji\/emoji_q\/q_(\d{3})\.png$/.exec(url)
        if (match && parseInt(match[1], 10) < numberedCount)
            return "[q_" + match[1] + "]"
        return ""
    }

        ListElement { emoji: "qrc:/images/emoji/emoji_aida.png"; name: qsTr("beating"); translator: "[beating]&&[挨打]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_aoman.png"; name: qsTr("Arrogance"); translator: "[Arrogance]&&[傲慢]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_bishi.png"; name: qsTr("despise"); translator: "[despise]&&[鄙视]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_bizui.png"; name: qsTr("ShutUp"); translator: "[ShutUp]&&[闭嘴]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_caimi.png"; name: qsTr("avarice"); translator: "[avarice]&&[财迷]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_chahan.png"; name: qsTr("WipePerspiration"); translator: "[WipePerspiration]&&[擦汗]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_dahongchun.png"; name: qsTr("BigRedLip"); translator: "[BigRedLip]&&[大红唇]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_daxiao.png"; name: qsTr("BigLaugh"); translator: "[BigLaugh]&&[大笑]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_deyi.png"; name: qsTr("Proud"); translator: "[Proud]&&[得意]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_fadai.png"; name: qsTr("daze"); translator: "[daze]&&[发呆]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_feiwen.png"; name: qsTr("ThrowKiss"); translator: "[ThrowKiss]&&[飞吻]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_fendou.png"; name: qsTr("Struggle"); translator: "[Struggle]&&[奋斗]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_fennu.png"; name: qsTr("Anger"); translator: "[Anger]&&[愤怒]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_ganga.png"; name: qsTr("embarrassed"); translator: "[embarrassed]&&[尴尬]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_haixiu.png"; name: qsTr("Shy"); translator: "[Shy]&&[害羞]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_heiha.png"; name: qsTr("ASERE"); translator: "[ASERE]&&[嘿哈]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_jianxiao.png"; name: qsTr("smirk"); translator: "[smirk]&&[奸笑]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_jianzha.png"; name: qsTr("false"); translator: "[false]&&[奸诈]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_jie.png"; name: qsTr("Hunger"); translator: "[Hunger]&&[饥饿]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_jingkong.png"; name: qsTr("Panic"); translator: "[Panic]&&[惊恐]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_jingxia.png"; name: qsTr("Frightened"); translator: "[Frightened]&&[惊吓]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_jizhi.png"; name: qsTr("wit"); translator: "[wit]&&[机智]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_kaixin.png"; name: qsTr("happy"); translator: "[happy]&&[开心]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_koubizi.png"; name: qsTr("nose-picking"); translator: "[nose-picking]&&[抠鼻子]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_ku.png"; name: qsTr("Cry"); translator: "[Cry]&&[哭]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_kulou.png"; name: qsTr("Skeleton"); translator: "[Skeleton]&&[骷髅]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_kun.png"; name: qsTr("Trapped"); translator: "[Trapped]&&[困]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_lenghan.png"; name: qsTr("ColdSweat"); translator: "[ColdSweat]&&[冷汗]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_lianhong.png"; name: qsTr("Blush"); translator: "[Blush]&&[脸红]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_liuhan.png"; name: qsTr("Sweat"); translator: "[Sweat]&&[流汗]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_maimeng.png"; name: qsTr("ActingCute"); translator: "[ActingCute]&&[卖萌]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_manma.png"; name: qsTr("Abuse"); translator: "[Abuse]&&[谩骂]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_nanguo.png"; name: qsTr("BeGrieved"); translator: "[BeGrieved]&&[难过]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_outu.png"; name: qsTr("Vomiting"); translator: "[Vomiting]&&[呕吐]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_qiaoda.png"; name: qsTr("Knock"); translator: "[Knock]&&[敲打]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_qinqin.png"; name: qsTr("Kiss"); translator: "[Kiss]&&[亲亲]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_qiudale.png"; name: qsTr("Embarrassing"); translator: "[Embarrassing]&&[糗大了]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_se.png"; name: qsTr("Saucy"); translator: "[Saucy]&&[色]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_shenfangou.png"; name: qsTr("SpecialVexed"); translator: "[SpecialVexed]&&[神烦狗]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_shengqi.png"; name: qsTr("Angry"); translator: "[Angry]&&[生气]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_shuijiao.png"; name: qsTr("Sleep"); translator: "[Sleep]&&[睡觉]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_sorry.png"; name: qsTr("sorry"); translator: "[sorry]&&[sorry]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_suai.png"; name: qsTr("Failure"); translator: "[Failure]&&[衰]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_taoqi.png"; name: qsTr("mischief"); translator: "[mischief]&&[淘气]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_tiaopi.png"; name: qsTr("Naughty"); translator: "[Naughty]&&[调皮]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_touxiang.png"; name: qsTr("surrender"); translator: "[surrender]&&[投降]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_touxiao.png"; name: qsTr("SecretlyLaugh"); translator: "[SecretlyLaugh]&&[偷笑]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_tuxue.png"; name: qsTr("VomitingBlood"); translator: "[VomitingBlood]&&[吐血]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_weiqu.png"; name: qsTr("Injustice"); translator: "[Injustice]&&[委屈]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_weixiao.png"; name: qsTr("Smile"); translator: "[Smile]&&[微笑]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_wulian.png"; name: qsTr("facepalm"); translator: "[facepalm]&&[捂脸]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_wuliao.png"; name: qsTr("boring"); translator: "[boring]&&[无聊]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_wuyu.png"; name: qsTr("speechless"); translator: "[speechless]&&[无语]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_xiao.png"; name: qsTr("Laugh"); translator: "[Laugh]&&[笑]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_xiaoshengdian.png"; name: qsTr("SHH"); translator: "[SHH]&&[小声点]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_yinxian.png"; name: qsTr("Insidious"); translator: "[Insidious]&&[阴险]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_yiwen.png"; name: qsTr("Doubt"); translator: "[Doubt]&&[疑问]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_yun.png"; name: qsTr("Dizzy"); translator: "[Dizzy]&&[晕]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_zaijian.png"; name: qsTr("Goodbye"); translator: "[Goodbye]&&[再见]" }
        ListElement { emoji: "qrc:/images/emoji/emoji_zhoumei.png"; name: qsTr("frown"); translator: "[frown]&&[皱眉]" }
}
