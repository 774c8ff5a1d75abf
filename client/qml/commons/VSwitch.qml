import QtQuick 2.12
import QtQuick.Controls 2.12

// An on/off switch: dark track when on, light when off, the knob at the on side.
Switch {
    id: control

    implicitWidth: 45
    implicitHeight: 25
    padding: 0

    indicator: Rectangle {
        width: 45
        height: 25
        radius: 13
        color: control.checked ? "#333333" : "#E5E5E5"

        Rectangle {
            x: control.checked ? parent.width - width - 2 : 2
            y: 2
            width: 21
            height: 21
            radius: 10.5
            color: "white"
        }
    }

    contentItem: Item {}
}
