import QtQuick 2.12

// A message of the user's own of a type this version cannot show.
VSendFrame {
    content: Component {
        VMessageNotSupport {
            isSend: true
        }
    }
}
