import QtQuick 2.12

// A message of a type this version cannot show.
VMessageFixedText {
    fixedText: qsTr("[The message is not supported in this version, please check it on your phone]")
               + vTranslator.i18n
}
