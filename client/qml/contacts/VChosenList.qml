import QtQuick 2.12

// The people chosen in a picker, in choice order. Removing someone also clears the
// `selected` flag of their item in the list they were chosen from.
Item {
    id: chosen

    // The list whose items carry `selected` (it has updateSelected(key, selected)).
    property var source: null
    readonly property alias model: records
    readonly property int count: records.count

    function indexOf(account) {
        for (var i = 0; i < records.count; ++i) {
            if (records.get(i).account === account)
                return i
        }
        return -1
    }

    function contains(account) {
        return indexOf(account) >= 0
    }

    function push_back(account, name, logo, champflag) {
        if (contains(account))
            return
        records.append({ "account": account, "name": name || "", "logo": logo || "",
                         "champflagValue": champflag || 0 })
    }

    function remove_item(account) {
        var i = indexOf(account)
        if (i < 0)
            return
        records.remove(i)
        if (source)
            source.updateSelected(account, false)
    }

    function clearAll() {
        for (var i = records.count - 1; i >= 0; --i) {
            if (source)
                source.updateSelected(records.get(i).account, false)
        }
        records.clear()
    }

    function accounts() {
        var list = []
        for (var i = 0; i < records.count; ++i)
            list.push(records.get(i).account)
        return list
    }

    ListModel {
        id: records
    }
}
