#ifndef TESMO_CLIENT_SHELL_VMENTIONEDNAMEIMAGEPROVIDER_H
#define TESMO_CLIENT_SHELL_VMENTIONEDNAMEIMAGEPROVIDER_H

#include <QQuickImageProvider>

// Draws an @-mention of the message input as one inline picture
// ("image://mentionedName/<account>").
class VMentionedNameImageProvider : public QQuickImageProvider {
 public:
  VMentionedNameImageProvider();

  QPixmap requestPixmap(const QString& id, QSize* size, const QSize& requestedSize) override;
};

#endif
