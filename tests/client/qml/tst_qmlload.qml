import QtQuick 2.12
import QtTest 1.12

// Every QML file of the program's resources loads and stays silent.
TestCase {
    id: testCase
    name: "QmlLoad"

    function test_load_data() {
        verify(qmlFiles.length > 0, "no QML files in the resources")
        return qmlFiles.map(function (file) { return { tag: file, url: file } })
    }

    function test_load(data) {
        qmlWarnings.clear()
        var component = Qt.createComponent(data.url)
        compare(component.status, Component.Ready, component.errorString())
        var object = component.createObject(null)
        verify(object !== null, "cannot create " + data.url)
        // Let bindings, timers and image loads settle.
        wait(100)
        object.destroy()
        wait(0)
        compare(qmlWarnings.take(), [])
    }
}
