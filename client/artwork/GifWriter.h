#ifndef TESMO_CLIENT_ARTWORK_GIFWRITER_H
#define TESMO_CLIENT_ARTWORK_GIFWRITER_H

#include <QByteArray>
#include <QImage>
#include <QList>

// Writes looping animated GIF files (Qt reads GIF but cannot write it). Each frame
// gets its own colour table; pixels under half opacity become transparent.
class GifWriter {
 public:
  GifWriter(int width, int height) : m_width(width), m_height(height) {}

  void addFrame(const QImage& frame, int delayMs);
  QByteArray data() const;
  bool save(const QString& fileName) const;

 private:
  static QByteArray encodeFrame(const QImage& frame, int delayMs);
  static QByteArray lzwBlocks(const QByteArray& indices);

  int m_width;
  int m_height;
  QList<QByteArray> m_frames;
};

#endif
