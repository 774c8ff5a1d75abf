import QtQuick 2.12

// A string-keyed dictionary.
QtObject {
    property var _map: ({})

    function size() { return Object.keys(_map).length }
    function isEmpty() { return size() === 0 }
    function clear() { _map = {} }
    function put(key, value) { _map[key] = value }
    function remove(key) { delete _map[key] }
    function value(key) { return containsKey(key) ? _map[key] : undefined }
    // The first key, in enumeration order, whose value is identical to the given one.
    function key(value) {
        for (var k in _map) {
            if (_map[k] === value)
                return k
        }
        return null
    }
    function containsKey(key) { return Object.prototype.hasOwnProperty.call(_map, key) }
    function containsValue(value) { return key(value) !== null }
    function values() {
        var result = []
        for (var k in _map)
            result.push(_map[k])
        return result
    }
    function keys() { return Object.keys(_map) }
}
