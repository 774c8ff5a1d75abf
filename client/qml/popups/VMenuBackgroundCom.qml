import QtQuick 2.12
import "../commons"

// The common background of the pop-up menus: white, rounded, shadowed.
Item {
    implicitWidth: 56
    implicitHeight: 40

    Rectangle {
        id: panel

        anchors.fill: parent
        anchors.margins: 1
        radius: 5
        color: "#FFFFFF"
    }

    VRectangularGlow {
        targetObject: panel
        z: -1
    }
}
