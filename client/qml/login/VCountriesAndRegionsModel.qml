import QtQuick 2.12

// The dialling codes of the login form, with a search over captions and codes.
// Corrected where a country carried another one's code: Grenada 1473, Kazakstan 7,
// Kyrgyzstan 996, Trinidad and Tobago 1868, Uzbekistan 998.
ListModel {
    id: countries

    // Shows the rows whose caption (both names) or "+" code contains the text.
    function reshow(text) {
        var needle = String(text).toLowerCase()
        for (var i = 0; i < count; ++i) {
            var row = get(i)
            var shown = needle === "" || row.translator.toLowerCase().indexOf(needle) >= 0
                    || ("+" + row.code).indexOf(needle) >= 0
            setProperty(i, "show", shown)
        }
    }

    Component.onCompleted: reshow("")

    ListElement { name: qsTr("Angola"); translator: "Angola&&安哥拉"; code: "244"; show: true }
    ListElement { name: qsTr("Afghanistan"); translator: "Afghanistan&&阿富汗"; code: "93"; show: true }
    ListElement { name: qsTr("Albania"); translator: "Albania&&阿尔巴尼亚"; code: "355"; show: true }
    ListElement { name: qsTr("Algeria"); translator: "Algeria&&阿尔及利亚"; code: "213"; show: true }
    ListElement { name: qsTr("Andorra"); translator: "Andorra&&安道尔共和国"; code: "376"; show: true }
    ListElement { name: qsTr("Anguilla"); translator: "Anguilla&&安圭拉岛"; code: "1264"; show: true }
    ListElement { name: qsTr("Antigua and Barbuda"); translator: "Antigua and Barbuda&&安提瓜和巴布达"; code: "1268"; show: true }
    ListElement { name: qsTr("Argentina"); translator: "Argentina&&阿根廷"; code: "54"; show: true }
    ListElement { name: qsTr("Armenia"); translator: "Armenia&&亚美尼亚"; code: "374"; show: true }
    ListElement { name: qsTr("Ascension"); translator: "Ascension&&阿森松"; code: "247"; show: true }
    ListElement { name: qsTr("Australia"); translator: "Australia&&澳大利亚"; code: "61"; show: true }
    ListElement { name: qsTr("Austria"); translator: "Austria&&奥地利"; code: "43"; show: true }
    ListElement { name: qsTr("Azerbaijan"); translator: "Azerbaijan&&阿塞拜疆"; code: "994"; show: true }
    ListElement { name: qsTr("Bahamas"); translator: "Bahamas&&巴哈马"; code: "1242"; show: true }
    ListElement { name: qsTr("Bahrain"); translator: "Bahrain&&巴林"; code: "973"; show: true }
    ListElement { name: qsTr("Bangladesh"); translator: "Bangladesh&&孟加拉国"; code: "880"; show: true }
    ListElement { name: qsTr("Barbados"); translator: "Barbados&&巴巴多斯"; code: "1246"; show: true }
    ListElement { name: qsTr("Belarus"); translator: "Belarus&&白俄罗斯"; code: "375"; show: true }
    ListElement { name: qsTr("Belgium"); translator: "Belgium&&比利时"; code: "32"; show: true }
    ListElement { name: qsTr("Belize"); translator: "Belize&&伯利兹"; code: "501"; show: true }
    ListElement { name: qsTr("Benin"); translator: "Benin&&贝宁"; code: "229"; show: true }
    ListElement { name: qsTr("Bermuda Is."); translator: "Bermuda Is.&&百慕大群岛"; code: "1441"; show: true }
    ListElement { name: qsTr("Bolivia"); translator: "Bolivia&&玻利维亚"; code: "591"; show: true }
    ListElement { name: qsTr("Botswana"); translator: "Botswana&&博茨瓦纳"; code: "267"; show: true }
    ListElement { name: qsTr("Brazil"); translator: "Brazil&&巴西"; code: "55"; show: true }
    ListElement { name: qsTr("Brunei"); translator: "Brunei&&文莱"; code: "673"; show: true }
    ListElement { name: qsTr("Bulgaria"); translator: "Bulgaria&&保加利亚"; code: "359"; show: true }
    ListElement { name: qsTr("Burkina-faso"); translator: "Burkina-faso&&布基纳法索"; code: "226"; show: true }
    ListElement { name: qsTr("Burma"); translator: "Burma&&缅甸"; code: "95"; show: true }
    ListElement { name: qsTr("Burundi"); translator: "Burundi&&布隆迪"; code: "257"; show: true }
    ListElement { name: qsTr("Cameroon"); translator: "Cameroon&&喀麦隆"; code: "237"; show: true }
    ListElement { name: qsTr("Canada"); translator: "Canada&&加拿大"; code: "1"; show: true }
    ListElement { name: qsTr("Cayman Is."); translator: "Cayman Is.&&开曼群岛"; code: "1345"; show: true }
    ListElement { name: qsTr("Central African Republic"); translator: "Central African Republic&&中非共和国"; code: "236"; show: true }
    ListElement { name: qsTr("Chad"); translator: "Chad&&乍得"; code: "235"; show: true }
    ListElement { name: qsTr("Chile"); translator: "Chile&&智利"; code: "56"; show: true }
    ListElement { name: qsTr("China"); translator: "China&&中国"; code: "86"; show: true }
    ListElement { name: qsTr("Colombia"); translator: "Colombia&&哥伦比亚"; code: "57"; show: true }
    ListElement { name: qsTr("Congo"); translator: "Congo&&刚果"; code: "242"; show: true }
    ListElement { name: qsTr("Cook Is."); translator: "Cook Is.&&库克群岛"; code: "682"; show: true }
    ListElement { name: qsTr("Costa Rica"); translator: "Costa Rica&&哥斯达黎加"; code: "506"; show: true }
    ListElement { name: qsTr("Cuba"); translator: "Cuba&&古巴"; code: "53"; show: true }
    ListElement { name: qsTr("Cyprus"); translator: "Cyprus&&塞浦路斯"; code: "357"; show: true }
    ListElement { name: qsTr("Czech Republic"); translator: "Czech Republic&&捷克"; code: "420"; show: true }
    ListElement { name: qsTr("Denmark"); translator: "Denmark&&丹麦"; code: "45"; show: true }
    ListElement { name: qsTr("Djibouti"); translator: "Djibouti&&吉布提"; code: "253"; show: true }
    ListElement { name: qsTr("Dominica Rep."); translator: "Dominica Rep.&&多米尼加共和国"; code: "1890"; show: true }
    ListElement { name: qsTr("Ecuador"); translator: "Ecuador&&厄瓜多尔"; code: "593"; show: true }
    ListElement { name: qsTr("Egypt"); translator: "Egypt&&埃及"; code: "20"; show: true }
    ListElement { name: qsTr("EISalvador"); translator: "EISalvador&&萨尔瓦多"; code: "503"; show: true }
    ListElement { name: qsTr("Estonia"); translator: "Estonia&&爱沙尼亚"; code: "372"; show: true }
    ListElement { name: qsTr("Ethiopia"); translator: "Ethiopia&&埃塞俄比亚"; code: "251"; show: true }
    ListElement { name: qsTr("Fiji"); translator: "Fiji&&斐济"; code: "679"; show: true }
    ListElement { name: qsTr("Finland"); translator: "Finland&&芬兰"; code: "358"; show: true }
    ListElement { name: qsTr("France"); translator: "France&&法国"; code: "33"; show: true }
    ListElement { name: qsTr("French Guiana"); translator: "French Guiana&&法属圭亚那"; code: "594"; show: true }
    ListElement { name: qsTr("Gabon"); translator: "Gabon&&加蓬"; code: "241"; show: true }
    ListElement { name: qsTr("Gambia"); translator: "Gambia&&冈比亚"; code: "220"; show: true }
    ListElement { name: qsTr("Georgia"); translator: "Georgia&&格鲁吉亚"; code: "995"; show: true }
    ListElement { name: qsTr("Germany"); translator: "Germany&&德国"; code: "49"; show: true }
    ListElement { name: qsTr("Ghana"); translator: "Ghana&&加纳"; code: "233"; show: true }
    ListElement { name: qsTr("Gibraltar"); translator: "Gibraltar&&直布罗陀"; code: "350"; show: true }
    ListElement { name: qsTr("Greece"); translator: "Greece&&希腊"; code: "30"; show: true }
    ListElement { name: qsTr("Grenada"); translator: "Grenada&&格林纳达"; code: "1473"; show: true }
    ListElement { name: qsTr("Guam"); translator: "Guam&&关岛"; code: "1671"; show: true }
    ListElement { name: qsTr("Guatemala"); translator: "Guatemala&&危地马拉"; code: "502"; show: true }
    ListElement { name: qsTr("Guinea"); translator: "Guinea&&几内亚"; code: "224"; show: true }
    ListElement { name: qsTr("Guyana"); translator: "Guyana&&圭亚那"; code: "592"; show: true }
    ListElement { name: qsTr("Haiti"); translator: "Haiti&&海地"; code: "509"; show: true }
    ListElement { name: qsTr("Honduras"); translator: "Honduras&&洪都拉斯"; code: "504"; show: true }
    ListElement { name: qsTr("Hongkong, China"); translator: "Hongkong, China&&中国香港"; code: "852"; show: true }
    ListElement { name: qsTr("Hungary"); translator: "Hungary&&匈牙利"; code: "36"; show: true }
    ListElement { name: qsTr("Iceland"); translator: "Iceland&&冰岛"; code: "354"; show: true }
    ListElement { name: qsTr("India"); translator: "India&&印度"; code: "91"; show: true }
    ListElement { name: qsTr("Indonesia"); translator: "Indonesia&&印度尼西亚"; code: "62"; show: true }
    ListElement { name: qsTr("Iran"); translator: "Iran&&伊朗"; code: "98"; show: true }
    ListElement { name: qsTr("Iraq"); translator: "Iraq&&伊拉克"; code: "964"; show: true }
    ListElement { name: qsTr("Ireland"); translator: "Ireland&&爱尔兰"; code: "353"; show: true }
    ListElement { name: qsTr("Israel"); translator: "Israel&&以色列"; code: "972"; show: true }
    ListElement { name: qsTr("Italy"); translator: "Italy&&意大利"; code: "39"; show: true }
    ListElement { name: qsTr("IvoryCoast"); translator: "IvoryCoast&&科特迪瓦"; code: "225"; show: true }
    ListElement { name: qsTr("Jamaica"); translator: "Jamaica&&牙买加"; code: "1876"; show: true }
    ListElement { name: qsTr("Japan"); translator: "Japan&&日本"; code: "81"; show: true }
    ListElement { name: qsTr("Jordan"); translator: "Jordan&&约旦"; code: "962"; show: true }
    ListElement { name: qsTr("Kampuchea(Cambodia)"); translator: "Kampuchea&&柬埔寨"; code: "855"; show: true }
    ListElement { name: qsTr("Kazakstan"); translator: "Kazakstan&&哈萨克斯坦"; code: "7"; show: true }
    ListElement { name: qsTr("Kenya"); translator: "Kenya&&肯尼亚"; code: "254"; show: true }
    ListElement { name: qsTr("Korea"); translator: "Korea&&韩国"; code: "82"; show: true }
    ListElement { name: qsTr("Kuwait"); translator: "Kuwait&&科威特"; code: "965"; show: true }
    ListElement { name: qsTr("Kyrgyzstan"); translator: "Kyrgyzstan&&吉尔吉斯坦"; code: "996"; show: true }
    ListElement { name: qsTr("Laos"); translator: "Laos&&老挝"; code: "856"; show: true }
    ListElement { name: qsTr("Latvia"); translator: "Latvia&&拉脱维亚"; code: "371"; show: true }
    ListElement { name: qsTr("Lebanon"); translator: "Lebanon&&黎巴嫩"; code: "961"; show: true }
    ListElement { name: qsTr("Lesotho"); translator: "Lesotho&&莱索托"; code: "266"; show: true }
    ListElement { name: qsTr("Liberia"); translator: "Liberia&&利比里亚"; code: "231"; show: true }
    ListElement { name: qsTr("Libya"); translator: "Libya&&利比亚"; code: "218"; show: true }
    ListElement { name: qsTr("Liechtenstein"); translator: "Liechtenstein&&列支敦士登"; code: "423"; show: true }
    ListElement { name: qsTr("Lithuania"); translator: "Lithuania&&立陶宛"; code: "370"; show: true }
    ListElement { name: qsTr("Luxembourg"); translator: "Luxembourg&&卢森堡"; code: "352"; show: true }
    ListElement { name: qsTr("Macao, China"); translator: "Macao, China&&中国澳门"; code: "853"; show: true }
    ListElement { name: qsTr("Madagascar"); translator: "Madagascar&&马达加斯加"; code: "261"; show: true }
    ListElement { name: qsTr("Malawi"); translator: "Malawi&&马拉维"; code: "265"; show: true }
    ListElement { name: qsTr("Malaysia"); translator: "Malaysia&&马来西亚"; code: "60"; show: true }
    ListElement { name: qsTr("Maldives"); translator: "Maldives&&马尔代夫"; code: "960"; show: true }
    ListElement { name: qsTr("Mali"); translator: "Mali&&马里"; code: "223"; show: true }
    ListElement { name: qsTr("Malta"); translator: "Malta&&马耳他"; code: "356"; show: true }
    ListElement { name: qsTr("Mariana Is."); translator: "Mariana Is.&&马里亚那群岛"; code: "1670"; show: true }
    ListElement { name: qsTr("Martinique"); translator: "Martinique&&马提尼克"; code: "596"; show: true }
    ListElement { name: qsTr("Mauritius"); translator: "Mauritius&&毛里求斯"; code: "230"; show: true }
    ListElement { name: qsTr("Mexico"); translator: "Mexico&&墨西哥"; code: "52"; show: true }
    ListElement { name: qsTr("Moldova, Republic of"); translator: "Moldova, Republic of&&摩尔多瓦"; code: "373"; show: true }
    ListElement { name: qsTr("Monaco"); translator: "Monaco&&摩纳哥"; code: "377"; show: true }
    ListElement { name: qsTr("Mongolia"); translator: "Mongolia&&蒙古"; code: "976"; show: true }
    ListElement { name: qsTr("Montserrat Is."); translator: "Montserrat Is.&&蒙特塞拉特岛"; code: "1664"; show: true }
    ListElement { name: qsTr("Morocco"); translator: "Morocco&&摩洛哥"; code: "212"; show: true }
    ListElement { name: qsTr("Mozambique"); translator: "Mozambique&&莫桑比克"; code: "258"; show: true }
    ListElement { name: qsTr("Namibia"); translator: "Namibia&&纳米比亚"; code: "264"; show: true }
    ListElement { name: qsTr("Nauru"); translator: "Nauru&&瑙鲁"; code: "674"; show: true }
    ListElement { name: qsTr("Nepal"); translator: "Nepal&&尼泊尔"; code: "977"; show: true }
    ListElement { name: qsTr("Netheriands Antilles"); translator: "Netheriands Antilles&&荷属安的列斯"; code: "599"; show: true }
    ListElement { name: qsTr("Netheriands"); translator: "Netheriands&&荷兰"; code: "31"; show: true }
    ListElement { name: qsTr("NewZealand"); translator: "NewZealand&&新西兰"; code: "64"; show: true }
    ListElement { name: qsTr("Nicaragua"); translator: "Nicaragua&&尼加拉瓜"; code: "505"; show: true }
    ListElement { name: qsTr("Niger"); translator: "Niger&&尼日尔"; code: "227"; show: true }
    ListElement { name: qsTr("Nigeria"); translator: "Nigeria&&尼日利亚"; code: "234"; show: true }
    ListElement { name: qsTr("North Korea"); translator: "North Korea&&朝鲜"; code: "850"; show: true }
    ListElement { name: qsTr("Norway"); translator: "Norway&&挪威"; code: "47"; show: true }
    ListElement { name: qsTr("Oman"); translator: "Oman&&阿曼"; code: "968"; show: true }
    ListElement { name: qsTr("Pakistan"); translator: "Pakistan&&巴基斯坦"; code: "92"; show: true }
    ListElement { name: qsTr("Panama"); translator: "Panama&&巴拿马"; code: "507"; show: true }
    ListElement { name: qsTr("Papua New Cuinea"); translator: "Papua New Cuinea&&巴布亚新几内亚"; code: "675"; show: true }
    ListElement { name: qsTr("Paraguay"); translator: "Paraguay&&巴拉圭"; code: "595"; show: true }
    ListElement { name: qsTr("Peru"); translator: "Peru&&秘鲁"; code: "51"; show: true }
    ListElement { name: qsTr("Philippines"); translator: "Philippines&&菲律宾"; code: "63"; show: true }
    ListElement { name: qsTr("Poland"); translator: "Poland&&波兰"; code: "48"; show: true }
    ListElement { name: qsTr("Polynesia, French"); translator: "Polynesia, French&&法属玻利尼西亚"; code: "689"; show: true }
    ListElement { name: qsTr("Portugal"); translator: "Portugal&&葡萄牙"; code: "351"; show: true }
    ListElement { name: qsTr("PuertoRico"); translator: "PuertoRico&&波多黎各"; code: "1787"; show: true }
    ListElement { name: qsTr("Qatar"); translator: "Qatar&&卡塔尔"; code: "974"; show: true }
    ListElement { name: qsTr("Reunion"); translator: "Reunion&&留尼旺"; code: "262"; show: true }
    ListElement { name: qsTr("Romania"); translator: "Romania&&罗马尼亚"; code: "40"; show: true }
    ListElement { name: qsTr("Russia"); translator: "Russia&&俄罗斯"; code: "7"; show: true }
    ListElement { name: qsTr("Saint Lueia"); translator: "Saint Lueia&&圣卢西亚"; code: "1758"; show: true }
    ListElement { name: qsTr("Saint Vincent"); translator: "Saint Vincent&&圣文森特岛"; code: "1784"; show: true }
    ListElement { name: qsTr("Samoa Eastern"); translator: "Samoa Eastern&&东萨摩亚(美)"; code: "684"; show: true }
    ListElement { name: qsTr("Samoa Western"); translator: "Samoa Western&&西萨摩亚"; code: "685"; show: true }
    ListElement { name: qsTr("San Marino"); translator: "San Marino&&圣马力诺"; code: "378"; show: true }
    ListElement { name: qsTr("Sao Tome and Principe"); translator: "Sao Tome and Principe&&圣多美和普林西比"; code: "239"; show: true }
    ListElement { name: qsTr("Saudi Arabia"); translator: "Saudi Arabia&&沙特阿拉伯"; code: "966"; show: true }
    ListElement { name: qsTr("Senegal"); translator: "Senegal&&塞内加尔"; code: "221"; show: true }
    ListElement { name: qsTr("Seychelles"); translator: "Seychelles&&塞舌尔"; code: "248"; show: true }
    ListElement { name: qsTr("Sierra Leone"); translator: "Sierra Leone&&塞拉利昂"; code: "232"; show: true }
    ListElement { name: qsTr("Singapore"); translator: "Singapore&&新加坡"; code: "65"; show: true }
    ListElement { name: qsTr("Slovakia"); translator: "Slovakia&&斯洛伐克"; code: "421"; show: true }
    ListElement { name: qsTr("Slovenia"); translator: "Slovenia&&斯洛文尼亚"; code: "386"; show: true }
    ListElement { name: qsTr("Solomon Is."); translator: "Solomon Is.&&所罗门群岛"; code: "677"; show: true }
    ListElement { name: qsTr("Somali"); translator: "Somali&&索马里"; code: "252"; show: true }
    ListElement { name: qsTr("South Africa"); translator: "South Africa&&南非"; code: "27"; show: true }
    ListElement { name: qsTr("Spain"); translator: "Spain&&西班牙"; code: "34"; show: true }
    ListElement { name: qsTr("Sri Lanka"); translator: "Sri Lanka&&斯里兰卡"; code: "94"; show: true }
    ListElement { name: qsTr("Sudan"); translator: "Sudan&&苏丹"; code: "249"; show: true }
    ListElement { name: qsTr("Suriname"); translator: "Suriname&&苏里南"; code: "597"; show: true }
    ListElement { name: qsTr("Swaziland"); translator: "Swaziland&&斯威士兰"; code: "268"; show: true }
    ListElement { name: qsTr("Sweden"); translator: "Sweden&&瑞典"; code: "46"; show: true }
    ListElement { name: qsTr("Switzerland"); translator: "Switzerland&&瑞士"; code: "41"; show: true }
    ListElement { name: qsTr("Syria"); translator: "Syria&&叙利亚"; code: "963"; show: true }
    ListElement { name: qsTr("Taiwan, China"); translator: "Taiwan, China&&中国台湾"; code: "886"; show: true }
    ListElement { name: qsTr("Tajikstan"); translator: "Tajikstan&&塔吉克斯坦"; code: "992"; show: true }
    ListElement { name: qsTr("Tanzania"); translator: "Tanzania&&坦桑尼亚"; code: "255"; show: true }
    ListElement { name: qsTr("Thailand"); translator: "Thailand&&泰国"; code: "66"; show: true }
    ListElement { name: qsTr("Togo"); translator: "Togo&&多哥"; code: "228"; show: true }
    ListElement { name: qsTr("Tonga"); translator: "Tonga&&汤加"; code: "676"; show: true }
    ListElement { name: qsTr("Trinidad and Tobago"); translator: "Trinidad and Tobago&&特立尼达和多巴哥"; code: "1868"; show: true }
    ListElement { name: qsTr("Tunisia"); translator: "Tunisia&&突尼斯"; code: "216"; show: true }
    ListElement { name: qsTr("Turkey"); translator: "Turkey&&土耳其"; code: "90"; show: true }
    ListElement { name: qsTr("Turkmenistan"); translator: "Turkmenistan&&土库曼斯坦"; code: "993"; show: true }
    ListElement { name: qsTr("Uganda"); translator: "Uganda&&乌干达"; code: "256"; show: true }
    ListElement { name: qsTr("Ukraine"); translator: "Ukraine&&乌克兰"; code: "380"; show: true }
    ListElement { name: qsTr("United Arab Emirates"); translator: "United Arab Emirates&&阿拉伯联合酋长国"; code: "971"; show: true }
    ListElement { name: qsTr("United Kiongdom"); translator: "United Kiongdom&&英国"; code: "44"; show: true }
    ListElement { name: qsTr("United States of America"); translator: "United States of America&&美国"; code: "1"; show: true }
    ListElement { name: qsTr("Uruguay"); translator: "Uruguay&&乌拉圭"; code: "598"; show: true }
    ListElement { name: qsTr("Uzbekistan"); translator: "Uzbekistan&&乌兹别克斯坦"; code: "998"; show: true }
    ListElement { name: qsTr("Venezuela"); translator: "Venezuela&&委内瑞拉"; code: "58"; show: true }
    ListElement { name: qsTr("Vietnam"); translator: "Vietnam&&越南"; code: "84"; show: true }
    ListElement { name: qsTr("Yemen"); translator: "Yemen&&也门"; code: "967"; show: true }
    ListElement { name: qsTr("Yugoslavia"); translator: "Yugoslavia&&南斯拉夫"; code: "381"; show: true }
    ListElement { name: qsTr("Zimbabwe"); translator: "Zimbabwe&&津巴布韦"; code: "263"; show: true }
    ListElement { name: qsTr("Zaire"); translator: "Zaire&&扎伊尔"; code: "243"; show: true }
    ListElement { name: qsTr("Zambia"); translator: "Zambia&&赞比亚"; code: "260"; show: true }
}
