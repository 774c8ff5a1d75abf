.pragma library

// Creates, once per owner, a popup from a QML file that may belong to a later part
// of the interface; returns null (and says why) while it cannot be made.
function create(owner, url, properties) {
    var component = Qt.createComponent(url)
    if (component.status !== 1 /* Component.Ready */) {
        console.log("popup not available:", url, component.errorString())
        return null
    }
    return component.createObject(owner, properties || {})
}
