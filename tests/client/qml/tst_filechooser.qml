import QtQuick 2.12
import QtQuick.Dialogs 1.3
import QtTest 1.12
import "qrc:/qml/commons/VFileChooser.js" as FileChooser

// Qt's file chooser starts where the program asks, each time it opens (the user's
// documents or pictures folder, or home while that is missing), never in the
// working folder.
Item {
    id: root

    width: 400
    height: 300

    FileDialog {
        id: chooser

        title: "choose"
        folder: shortcuts.documents
    }

    function findChild(item, name) {
        if (item.objectName === name)
            return item
        var kids = item.children || []
        for (var i = 0; i < kids.length; ++i) {
            var found = findChild(kids[i], name)
            if (found)
                return found
        }
        return null
    }

    TestCase {
        name: "FileChooser"
        when: windowShown

        function opensIn(expected) {
            tryVerify(function() { return chooserFixture.shownFolder() === expected }, 10000,
                      "shows " + chooserFixture.shownFolder() + ", not " + expected)
            verify(expected !== chooserFixture.workingFolder())
        }

        function test_opensWhereItIsAskedEachTime() {
            var folders = [chooserFixture.urlOf(qmlFixtures.folder), vGlobal.documentsFolder(),
                           chooserFixture.urlOf(qmlFixtures.folder)]
            for (var i = 0; i < folders.length; ++i) {
                FileChooser.openIn(chooser, folders[i])
                opensIn(chooserFixture.canonical(folders[i]))
                chooserFixture.cancelShown()
                tryVerify(function() { return chooserFixture.shownFolder() === "" }, 10000)
            }
        }

        // The batch invitation's "Select file" opens in the documents folder.
        function test_invitationChooserStartsInTheDocumentsFolder() {
            var panel = Qt.createComponent("qrc:/qml/contacts/VOneKeyToInviteContentCom.qml")
                          .createObject(root)
            verify(panel !== null)
            var button = findChild(panel, "selectFileButton")
            verify(button !== null)
            for (var round = 0; round < 2; ++round) {
                button.clicked()
                opensIn(chooserFixture.canonical(vGlobal.documentsFolder()))
                chooserFixture.cancelShown()
                tryVerify(function() { return chooserFixture.shownFolder() === "" }, 10000)
            }
            panel.destroy()
        }
    }
}
