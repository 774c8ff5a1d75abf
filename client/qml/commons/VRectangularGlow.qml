import QtQuick 2.12
import QtGraphicalEffects 1.0

// A soft shadow around the target item.
RectangularGlow {
    property Item targetObject: null

    readonly property real _targetRadius: targetObject && targetObject.radius !== undefined
                                          ? targetObject.radius : 0

    anchors.fill: targetObject
    glowRadius: vGlobal.osIsWindows ? 3 : 1
    spread: 0.1
    color: "#20000000"
    cornerRadius: _targetRadius + glowRadius
    scale: targetObject ? targetObject.scale : 1
}
