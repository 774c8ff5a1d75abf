import QtQuick 2.12

// A message of the user's own of a type this version cannot show.
VSendFrame {
    id: frame

    content: Component {
        VMessageNotSupport {
            row: frame.row
            isSend: true
        }
    }
}
