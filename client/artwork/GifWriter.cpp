#include "artwork/GifWriter.h"

#include <QFile>
#include <QVector>

namespace {
constexpr int kMinCodeSize = 8;
constexpr int kClearCode = 1 << kMinCodeSize;
constexpr int kEndCode = kClearCode + 1;
// Literal codes only, with a clear code often enough that the decoder's table
// never grows past nine-bit codes: valid, simple, and small enough for icons.
constexpr int kLiteralsPerClear = 128;

void PutShort(QByteArray& out, int value) {
  out.append(char(value & 0xFF));
  out.append(char((value >> 8) & 0xFF));
}

class BitPacker {
 public:
  void put(int code, int width) {
    m_accumulator |= static_cast<quint32>(code) << m_bits;
    m_bits += width;
    while (m_bits >= 8) {
      m_bytes.append(char(m_accumulator & 0xFF));
      m_accumulator >>= 8;
      m_bits -= 8;
    }
  }
  QByteArray finish() {
    if (m_bits > 0) m_bytes.append(char(m_accumulator & 0xFF));
    return m_bytes;
  }

 private:
  QByteArray m_bytes;
  quint32 m_accumulator = 0;
  int m_bits = 0;
};
}  // namespace

void GifWriter::addFrame(const QImage& frame, int delayMs) {
  m_frames.append(
      encodeFrame(frame.scaled(m_width, m_height).convertToFormat(QImage::Format_ARGB32), delayMs));
}

QByteArray GifWriter::lzwBlocks(const QByteArray& indices) {
  BitPacker packer;
  const int width = kMinCodeSize + 1;
  for (int i = 0; i < indices.size(); ++i) {
    if (i % kLiteralsPerClear == 0) packer.put(kClearCode, width);
    packer.put(static_cast<quint8>(indices.at(i)), width);
  }
  packer.put(kEndCode, width);
  const QByteArray packed = packer.finish();
  QByteArray out;
  out.append(char(kMinCodeSize));
  for (int offset = 0; offset < packed.size(); offset += 255) {
    const QByteArray block = packed.mid(offset, 255);
    out.append(char(block.size()));
    out.append(block);
  }
  out.append('\0');
  return out;
}

QByteArray GifWriter::encodeFrame(const QImage& frame, int delayMs) {
  // Index 0 is transparent; the rest is Qt's own palette reduction of the frame.
  QImage opaque = frame.convertToFormat(QImage::Format_RGB32);
  const QImage indexed = opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  QVector<QRgb> colours = indexed.colorTable();
  if (colours.size() > 255) colours.resize(255);
  QByteArray indices;
  indices.reserve(frame.width() * frame.height());
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      if (qAlpha(frame.pixel(x, y)) < 128) {
        indices.append('\0');
      } else {
        const int index = qMin(indexed.pixelIndex(x, y), 254);
        indices.append(char(index + 1));
      }
    }
  }
  QByteArray out;
  // Graphic control: restore to background, transparent index 0, the delay.
  out.append("\x21\xF9\x04", 3);
  out.append(char(0x09));
  PutShort(out, delayMs / 10);
  out.append('\0');
  out.append('\0');
  // Image descriptor with a local colour table of 256 entries.
  out.append(',');
  PutShort(out, 0);
  PutShort(out, 0);
  PutShort(out, frame.width());
  PutShort(out, frame.height());
  out.append(char(0x87));
  for (int i = 0; i < 256; ++i) {
    const QRgb colour = (i > 0 && i - 1 < colours.size()) ? colours.at(i - 1) : qRgb(0, 0, 0);
    out.append(char(qRed(colour)));
    out.append(char(qGreen(colour)));
    out.append(char(qBlue(colour)));
  }
  out.append(lzwBlocks(indices));
  return out;
}

QByteArray GifWriter::data() const {
  QByteArray out("GIF89a");
  PutShort(out, m_width);
  PutShort(out, m_height);
  out.append('\0');  // no global colour table
  out.append('\0');
  out.append('\0');
  // Loop for ever.
  out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
  for (const QByteArray& frame : m_frames) out.append(frame);
  out.append(';');
  return out;
}

bool GifWriter::save(const QString& fileName) const {
  QFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  return file.write(data()) == data().size();
}
