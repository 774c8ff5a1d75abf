.pragma library

// Opens one of Qt's file choosers in the given folder. The chooser takes its folder
// only while it shows, and only one that differs from the one it had: a folder set
// before open() leaves it in the working folder.
function openIn(dialog, folder) {
    dialog.folder = ""
    dialog.open()
    dialog.folder = folder
}
