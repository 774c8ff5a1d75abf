.pragma library

// Creates, once per owner, a popup from a QML file of the dialog table; a file that
// does not load is an error, and gives null.
function create(owner, url, properties) {
    if (url === "")
        return null
    var component = Qt.createComponent(url)
    if (component.status !== 1 /* Component.Ready */) {
        console.error("cannot load popup", url + ":", component.errorString().trim())
        return null
    }
    return component.createObject(owner, properties || {})
}
