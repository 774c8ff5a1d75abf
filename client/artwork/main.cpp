// Draws the program's pictures and synthesizes its sounds into the source tree:
// flat shapes and glyphs from the bundled fonts, emoji from the system's Noto Color
// Emoji font. Run by the "artwork" target; the results are committed so that a
// build needs neither the generator nor the emoji font.
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <QtMath>
#include <cstdio>
#include <functional>

#include "artwork/GifWriter.h"

namespace {

const QColor kInk(0x33, 0x33, 0x33);
const QColor kGrey(0x8E, 0x8E, 0x93);
const QColor kYellow(0xFA, 0xE1, 0x00);
const QColor kGreen(0x03, 0xC0, 0x87);
const QColor kRed(0xF5, 0x4B, 0x4B);
const QColor kBlue(0x33, 0x85, 0xFF);
const QColor kWhite(Qt::white);

QString g_root;
QString g_emojiFamily;
int g_written = 0;

QString OutPath(const QString& relative) {
  const QString path = g_root + QLatin1Char('/') + relative;
  QDir().mkpath(QFileInfo(path).absolutePath());
  return path;
}

void Save(const QImage& image, const QString& relative, const char* format = "PNG") {
  if (!image.save(OutPath(relative), format)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(relative));
    std::exit(1);
  }
  ++g_written;
}

QImage Canvas(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

using Painter = std::function<void(QPainter&, const QRectF&)>;

QImage Draw(int w, int h, const Painter& paint) {
  QImage image = Canvas(w, h);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  paint(p, QRectF(0, 0, w, h));
  return image;
}

void Glyph(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
           qreal scale = 0.8, const QString& family = QStringLiteral("DejaVu Sans"),
           bool bold = false) {
  QFont font(family);
  font.setPixelSize(qMax(1, int(qMin(r.width(), r.height()) * scale)));
  font.setBold(bold);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(r, Qt::AlignCenter, text);
}

void Disc(QPainter& p, const QRectF& r, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(r);
}

void Rounded(QPainter& p, const QRectF& r, const QColor& colour, qreal radius) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawRoundedRect(r, radius, radius);
}

void Stroke(QPainter& p, const QColor& colour, qreal width) {
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
}

// An icon: a coloured disc (or nothing) with a glyph on it.
Painter Badge(const QColor& back, const QString& glyph, const QColor& fore, qreal scale = 0.6) {
  return [=](QPainter& p, const QRectF& r) {
    if (back.isValid()) Disc(p, r.adjusted(0.5, 0.5, -0.5, -0.5), back);
    Glyph(p, r, glyph, fore, scale);
  };
}

Painter Plain(const QString& glyph, const QColor& fore, qreal scale = 0.8) {
  return Badge(QColor(), glyph, fore, scale);
}

void Icon(const QString& relative, int w, int h, const Painter& paint) {
  Save(Draw(w, h, paint), relative);
}

QImage Emoji(uint codePoint, int size, qreal scale = 0.84) {
  return Draw(size, size, [&](QPainter& p, const QRectF& r) {
    QFont font(g_emojiFamily);
    font.setPixelSize(int(size * scale));
    p.setFont(font);
    p.drawText(r, Qt::AlignCenter, QString::fromUcs4(&codePoint, 1));
  });
}

bool HasEmoji(uint codePoint) {
  QFont font(g_emojiFamily);
  return QFontMetrics(font).inFontUcs4(codePoint);
}

// The download dialog's QR picture: a real code of the mobile app's download page
// (a placeholder address of the deployment), dark modules on white with the quiet
// zone inside the picture, whole pixels per module so that it scans at its size.
const char kAppDownloadAddress[] = "https://www.tesmochat.com/down/#/tesmochat";
constexpr int kDownloadQrSide = 170;

void DownloadQrCode() {
  ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::QRCode);
  // Level M (the writer takes 0 to 8: L, M, Q, H by twos).
  writer.setEncoding(ZXing::CharacterSet::UTF8).setEccLevel(3).setMargin(0);
  const ZXing::BitMatrix matrix = writer.encode(std::string(kAppDownloadAddress), 0, 0);
  const int modules = matrix.width();
  // At least four modules of quiet zone on every side.
  const int pixels = kDownloadQrSide / (modules + 8);
  if (pixels < 1) std::exit(1);
  const int offset = (kDownloadQrSide - modules * pixels) / 2;
  QImage image(kDownloadQrSide, kDownloadQrSide, QImage::Format_RGB32);
  image.fill(kWhite);
  QPainter p(&image);
  for (int y = 0; y < modules; ++y)
    for (int x = 0; x < modules; ++x)
      if (matrix.get(x, y))
        p.fillRect(offset + x * pixels, offset + y * pixels, pixels, pixels, Qt::black);
  p.end();
  Save(image, QStringLiteral("images/erweima.png"));
}

// --- pictures of the window frame and the shared widgets -----------------------

void WindowPictures() {
  Icon("images/close_win_pc.png", 10, 10, [](QPainter& p, const QRectF& r) {
    Stroke(p, kInk, 1.4);
    p.drawLine(r.topLeft() + QPointF(1, 1), r.bottomRight() - QPointF(1, 1));
    p.drawLine(r.topRight() + QPointF(-1, 1), r.bottomLeft() + QPointF(1, -1));
  });
  Icon("images/min_win_pc.png", 10, 10, [](QPainter& p, const QRectF& r) {
    Stroke(p, kInk, 1.4);
    p.drawLine(QPointF(1, r.center().y()), QPointF(r.right() - 1, r.center().y()));
  });
  Icon("images/max_win_pc.png", 10, 10, [](QPainter& p, const QRectF& r) {
    Stroke(p, kInk, 1.2);
    p.drawRect(r.adjusted(1, 1, -1, -1));
  });
  Icon("images/normal_win_pc.png", 10, 10, [](QPainter& p, const QRectF&) {
    Stroke(p, kInk, 1.1);
    p.drawRect(QRectF(1, 3, 6, 6));
    p.drawPolyline(
        QPolygonF({QPointF(3, 3), QPointF(3, 1), QPointF(9, 1), QPointF(9, 7), QPointF(7, 7)}));
  });
  Icon("images/close.png", 16, 16, Plain(QStringLiteral("\u2715"), kInk, 0.8));
  Icon("images/minimize.png", 16, 16, [](QPainter& p, const QRectF& r) {
    Stroke(p, kInk, 1.5);
    p.drawLine(QPointF(3, r.center().y()), QPointF(r.right() - 3, r.center().y()));
  });
  Icon("images/back.png", 24, 24, Plain(QStringLiteral("\u2039"), kInk, 1.0));
  Icon("images/down_arrow.png", 12, 8, [](QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGrey);
    p.drawPolygon(QPolygonF({r.topLeft() + QPointF(1, 1), r.topRight() + QPointF(-1, 1),
                             QPointF(r.center().x(), r.bottom() - 1)}));
  });
  DownloadQrCode();
  Icon("images/loading.png", 24, 24, [](QPainter& p, const QRectF& r) {
    Stroke(p, kYellow, 2.5);
    p.drawArc(r.adjusted(3, 3, -3, -3), 90 * 16, 270 * 16);
  });
  Icon("images/search_bar_clear.png", 14, 14,
       Badge(QColor(0xC8, 0xC8, 0xCC), QStringLiteral("\u2715"), kWhite, 0.6));
  Icon("images/search_country_code.png", 13, 13, [](QPainter& p, const QRectF&) {
    Stroke(p, kGrey, 1.4);
    p.drawEllipse(QRectF(1, 1, 8, 8));
    p.drawLine(QPointF(8, 8), QPointF(12, 12));
  });
  Icon("images/warning.png", 20, 20, Badge(kYellow, QStringLiteral("!"), kInk, 0.75));
  Icon("images/default_portrait.png", 200, 200, [](QPainter& p, const QRectF& r) {
    Disc(p, r, QColor(0xE5, 0xE5, 0xEA));
    p.save();
    QPainterPath clip;
    clip.addEllipse(r);
    p.setClipPath(clip);
    Disc(p, QRectF(65, 40, 70, 70), QColor(0xB8, 0xB8, 0xC0));
    Disc(p, QRectF(30, 120, 140, 140), QColor(0xB8, 0xB8, 0xC0));
    p.restore();
  });
  // The blank frame of the blinking tray icon.
  Save(Canvas(32, 32), "images/tesmo_chat_transparent.ico", "ICO");
}

void IndexPagePictures() {
  const struct {
    const char* name;
    const char* glyph;
  } tabs[] = {{"chat", "\u2709"},
              {"contact", "\u263A"},
              {"web", "\u25CE"},
              {"apps", "\u25A6"},
              {"assistant", "\u2605"}};
  for (const auto& tab : tabs) {
    const QString glyph = QString::fromUtf8(tab.glyph);
    Icon(QStringLiteral("images/index_page/%1_normal.png").arg(QLatin1String(tab.name)), 28, 28,
         Plain(glyph, kGrey, 0.8));
    Icon(QStringLiteral("images/index_page/%1_pressed.png").arg(QLatin1String(tab.name)), 28, 28,
         Plain(glyph, kYellow, 0.8));
  }
  Icon("images/index_page/edit_user_info.png", 16, 16, Plain(QStringLiteral("\u270E"), kInk));
  Icon("images/index_page/function_creating.png", 120, 120,
       Badge(QColor(0xF5, 0xF6, 0xF7), QStringLiteral("\u2692"), kGrey, 0.55));
  // Already in the group: a check mark, greyed, since the row cannot be chosen.
  Icon("images/index_page/group_member_added.png", 40, 40,
       Badge(QColor(0xC8, 0xC8, 0xCC), QStringLiteral("\u2713"), kWhite, 0.7));
  Icon("images/index_page/head011.png", 60, 60, Badge(kYellow, QStringLiteral("T"), kInk, 0.6));
  Icon("images/index_page/kick_out_logo.png", 80, 80,
       Badge(kRed, QStringLiteral("!"), kWhite, 0.6));
  Icon("images/index_page/network_warning.png", 18, 18,
       Badge(kRed, QStringLiteral("!"), kWhite, 0.75));
  Icon("images/index_page/open_close_indicator.png", 12, 12,
       Plain(QStringLiteral("\u25B8"), kGrey, 1.0));
  Icon("images/index_page/remove.png", 16, 16, Badge(kRed, QStringLiteral("\u2212"), kWhite, 0.8));
  Icon("images/index_page/selected.png", 18, 18,
       Badge(kGreen, QStringLiteral("\u2713"), kWhite, 0.7));
  // Round window buttons: red close, yellow minimise, green maximise.
  const struct {
    const char* name;
    QColor colour;
    const char* glyph;
  } mac[] = {{"mac_close_normal", kRed, ""},
             {"mac_close_hover", kRed, "\u2715"},
             {"mac_min_normal", QColor(0xF5, 0xBE, 0x4F), ""},
             {"mac_min_hover", QColor(0xF5, 0xBE, 0x4F), "\u2212"},
             {"mac_min_on_max_hover", QColor(0xC8, 0xC8, 0xCC), ""},
             {"mac_max_normal", QColor(0x61, 0xC5, 0x54), ""},
             {"mac_max_hover", QColor(0x61, 0xC5, 0x54), "+"},
             {"mac_to_normal_hover", QColor(0x61, 0xC5, 0x54), "\u2922"}};
  for (const auto& button : mac)
    Icon(QStringLiteral("images/index_page/%1.png").arg(QLatin1String(button.name)), 12, 12,
         Badge(button.colour, QString::fromUtf8(button.glyph), QColor(0x4D, 0x00, 0x00), 0.75));
  // Eight dots; one lights up per frame.
  GifWriter gif(60, 60);
  for (int frame = 0; frame < 8; ++frame) {
    gif.addFrame(Draw(60, 60,
                      [frame](QPainter& p, const QRectF& r) {
                        for (int dot = 0; dot < 8; ++dot) {
                          const qreal angle = qDegreesToRadians(45.0 * dot);
                          const QPointF centre =
                              r.center() + QPointF(20 * qSin(angle), -20 * qCos(angle));
                          Disc(p, QRectF(centre - QPointF(4, 4), QSizeF(8, 8)),
                               dot == frame ? kYellow : QColor(0xDD, 0xDD, 0xDD));
                        }
                      }),
                 100);
  }
  if (!gif.save(OutPath("images/index_page/loading.gif"))) std::exit(1);
  ++g_written;
}

void LoginPagePictures() {
  Icon("images/login_page/login_backgroud.png", 300, 400, [](QPainter& p, const QRectF& r) {
    QLinearGradient gradient(r.topLeft(), r.bottomRight());
    gradient.setColorAt(0, QColor(0xFF, 0xF8, 0xD6));
    gradient.setColorAt(1, kWhite);
    p.fillRect(r, gradient);
  });
  const QColor slides[] = {QColor(0x26, 0x26, 0x2B), QColor(0x1F, 0x2A, 0x44),
                           QColor(0x1E, 0x3B, 0x33)};
  for (int i = 0; i < 3; ++i) {
    Icon(QStringLiteral("images/login_page/login_bg_0%1.png").arg(i), 400, 500,
         [&, i](QPainter& p, const QRectF& r) {
           QLinearGradient gradient(r.topLeft(), r.bottomLeft());
           gradient.setColorAt(0, slides[i].lighter(130));
           gradient.setColorAt(1, slides[i]);
           p.fillRect(r, gradient);
           for (int ring = 1; ring <= 4; ++ring) {
             Stroke(p, QColor(0xFA, 0xE1, 0x00, 40 + 20 * ring), 2);
             const qreal radius = 30.0 * ring + 20 * i;
             p.drawEllipse(QPointF(200, 230), radius, radius);
           }
           Disc(p, QRectF(170, 200, 60, 60), kYellow);
           Glyph(p, QRectF(170, 200, 60, 60), QStringLiteral("T"), kInk, 0.7,
                 QStringLiteral("DejaVu Sans"), true);
         });
  }
  Icon("images/login_page/login_default.png", 80, 80,
       Badge(kYellow, QStringLiteral("T"), kInk, 0.6));
  Icon("images/login_page/qrcode_logo.png", 40, 40, [](QPainter& p, const QRectF& r) {
    Rounded(p, r, kWhite, 6);
    Rounded(p, r.adjusted(3, 3, -3, -3), kYellow, 5);
    Glyph(p, r, QStringLiteral("T"), kInk, 0.6, QStringLiteral("DejaVu Sans"), true);
  });
  Icon("images/login_page/qrcode_refresh.png", 40, 40,
       Badge(kYellow, QStringLiteral("\u21BB"), kInk, 0.7));
  Icon("images/login_page/switch_to_password.png", 48, 48, [](QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygonF({r.topLeft(), r.topRight(), r.bottomRight()}));
    Glyph(p, QRectF(24, 2, 22, 22), QStringLiteral("\u2328"), kInk, 0.9);
  });
  Icon("images/login_page/switch_to_qrcode.png", 48, 48, [](QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygonF({r.topLeft(), r.topRight(), r.bottomRight()}));
    Glyph(p, QRectF(24, 2, 22, 22), QStringLiteral("\u25A3"), kInk, 0.9);
  });
}

void BubblePictures() {
  for (const QString& side : {QStringLiteral("receive"), QStringLiteral("send")}) {
    const QColor colour = side == QLatin1String("send") ? kInk : kGreen;
    Icon("images/" + side + "/message.png", 20, 20, Plain(QStringLiteral("\u2709"), kGrey));
    Icon("images/" + side + "/messageActive.png", 20, 20, Plain(QStringLiteral("\u2709"), colour));
    // The three steps of the voice animation: one, two and three arcs.
    for (int step = 1; step <= 3; ++step) {
      Icon(QStringLiteral("images/%1/vidio_%2.png").arg(side).arg(step), 16, 16,
           [=](QPainter& p, const QRectF& r) {
             Disc(p, QRectF(1, 6.5, 3, 3), colour);
             Stroke(p, colour, 1.5);
             for (int arc = 1; arc < step; ++arc) {
               const qreal radius = 4.5 * arc;
               p.drawArc(QRectF(2.5 - radius, r.center().y() - radius, 2 * radius, 2 * radius),
                         -45 * 16, 90 * 16);
             }
           });
    }
  }
  Icon("images/screenshot/cancel.png", 24, 24, Plain(QStringLiteral("\u2715"), kRed, 0.7));
  Icon("images/screenshot/comfirm.png", 24, 24, Plain(QStringLiteral("\u2713"), kGreen, 0.8));
  // Light on the dark tool bar.
  Icon("images/screenshot/save.png", 24, 24, Plain(QStringLiteral("\u2B07"), kWhite, 0.75));
}

void ContactPagePictures() {
  Icon("images/contact_page/contacts.png", 40, 40,
       Badge(kBlue, QStringLiteral("\u263A"), kWhite, 0.65));
  Icon("images/contact_page/groups.png", 40, 40,
       Badge(kGreen, QStringLiteral("\u2687"), kWhite, 0.65));
  Icon("images/contact_page/invite_failed.png", 60, 60,
       Badge(kRed, QStringLiteral("\u2715"), kWhite, 0.5));
  Icon("images/contact_page/invite_finished.png", 60, 60,
       Badge(kGreen, QStringLiteral("\u2713"), kWhite, 0.55));
  Icon("images/contact_page/tip_icon.png", 16, 16, Badge(kGrey, QStringLiteral("i"), kWhite, 0.7));
}

void SessionPagePictures() {
  const QString dir = QStringLiteral("images/session_page/");
  const struct {
    const char* name;
    int size;
    QColor back;
    const char* glyph;
    QColor fore;
  } icons[] = {
      {"add_friend", 24, QColor(), "\u263A", kInk},
      {"add_group", 24, QColor(), "\u2687", kInk},
      {"at_all_members", 20, kBlue, "@", kWhite},
      {"code_enter_group", 24, QColor(), "#", kInk},
      {"code_error", 60, kRed, "\u2715", kWhite},
      {"do_not_disturb", 14, QColor(), "\u263E", kGrey},
      {"emoji00", 24, QColor(), "\u263A", kGrey},
      {"emoji01", 24, QColor(), "\u2661", kGrey},
      {"emoji02", 24, QColor(), "\u2605", kGrey},
      {"emoji_add", 24, QColor(), "+", kGrey},
      {"emoji_my_favorite", 24, QColor(), "\u2665", kGrey},
      {"face", 22, QColor(), "\u263A", kGrey},
      {"face_highlight", 22, QColor(), "\u263A", kInk},
      {"file", 22, QColor(), "\u2750", kGrey},
      {"file_highlight", 22, QColor(), "\u2750", kInk},
      {"file_open_options", 16, QColor(), "\u22EF", kGrey},
      {"goto_at_me", 16, QColor(), "\u2191", kYellow},
      {"group_indicator", 16, kGreen, "\u2687", kWhite},
      {"group_info_edit", 16, QColor(), "\u270E", kGrey},
      {"group_info_refresh", 16, QColor(), "\u21BB", kGrey},
      {"group_manager", 16, kBlue, "\u2691", kWhite},
      {"group_members_add", 40, QColor(0xF5, 0xF6, 0xF7), "+", kGrey},
      {"group_members_remove", 40, QColor(0xF5, 0xF6, 0xF7), "\u2212", kGrey},
      {"group_owner", 16, kYellow, "\u265B", kInk},
      {"group_settings", 22, QColor(), "\u2630", kInk},
      {"loading", 20, QColor(), "\u21BB", kGrey},
      {"more_members", 16, QColor(), "\u25BE", kGrey},
      {"official_indicator_tesmo", 15, kYellow, "\u2713", kInk},
      {"official_indicator_media", 15, kBlue, "\u2713", kWhite},
      {"official_indicator_others", 15, kGreen, "\u2713", kWhite},
      {"personal_indicatori", 15, QColor(0xFF, 0x8A, 0x00), "\u2713", kWhite},
      {"quotes_window_show_bar", 22, QColor(), "\u2261", kInk},
      {"quotes_window_show_bar_indicator", 12, QColor(), "\u25B4", kInk},
      {"remove", 16, QColor(), "\u2715", kGrey},
      {"remove_highlight", 16, QColor(), "\u2715", kRed},
      {"screenshot", 22, QColor(), "\u2702", kGrey},
      {"screenshot_highlight", 22, QColor(), "\u2702", kInk},
      {"search", 13, QColor(), "\u2315", kGrey},
      {"send_failed", 18, kRed, "!", kWhite},
      {"single_chat_add", 40, QColor(0xF5, 0xF6, 0xF7), "+", kGrey},
      {"single_settings", 22, QColor(), "\u22EF", kInk},
      {"sync_has_checked", 18, kGreen, "\u2713", kWhite},
      {"sync_not_checked", 18, QColor(0xE5, 0xE5, 0xEA), "", kWhite},
      {"sync_to_contacts", 22, QColor(), "\u21C4", kInk},
      {"time_quotes_indicator", 12, QColor(), "\u25CF", kGreen},
      {"translate_icon", 16, QColor(), "\u6587", kGrey},
      {"translation_switch_receive", 16, QColor(), "\u21C6", kGreen},
      {"translation_switch_send", 16, QColor(), "\u21C6", kInk},
  };
  for (const auto& icon : icons) {
    const QString glyph = QString::fromUtf8(icon.glyph);
    Painter paint = Badge(icon.back, glyph, icon.fore, icon.back.isValid() ? 0.6 : 0.85);
    if (glyph.size() == 1 && glyph.at(0).unicode() >= 0x4E00) {
      paint = [=](QPainter& p, const QRectF& r) {
        Glyph(p, r, glyph, icon.fore, 0.85, QStringLiteral("WenQuanYi Micro Hei"));
      };
    }
    Icon(dir + QLatin1String(icon.name) + ".png", icon.size, icon.size, paint);
  }
  Icon(dir + "add_session.png", 27, 22, [](QPainter& p, const QRectF& r) {
    Rounded(p, r, QColor(0xF5, 0xF6, 0xF7), 4);
    Glyph(p, r, QStringLiteral("+"), kInk, 0.8);
  });
  for (const QString& side : {QStringLiteral("receive"), QStringLiteral("send")}) {
    const QColor back = side == QLatin1String("send") ? kYellow : kWhite;
    Icon(dir + "audio_background_" + side + ".png", 120, 36,
         [=](QPainter& p, const QRectF& r) { Rounded(p, r, back, 8); });
    Icon(dir + "audio_indicator_" + side + ".png", 16, 16, Plain(QStringLiteral("\u266A"), kInk));
    Icon(dir + "audio_indicator_pause_" + side + ".png", 16, 16,
         Plain(QStringLiteral("\u266B"), kGrey));
    Icon(dir + "audio_pause_" + side + ".png", 24, 24,
         Badge(kInk, QStringLiteral("\u275A\u275A"), back, 0.4));
    Icon(dir + "audio_play_" + side + ".png", 24, 24,
         Badge(kInk, QStringLiteral("\u25B6"), back, 0.5));
  }
  Icon(dir + "founding_member.png", 146, 148, [](QPainter& p, const QRectF& r) {
    Stroke(p, QColor(0xF2, 0xB7, 0x05), 6);
    p.drawEllipse(r.adjusted(4, 5, -4, -5));
  });
  Icon(dir + "founding_member_head.png", 70, 86, [](QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0xB7, 0x05));
    p.drawPolygon(QPolygonF({QPointF(5, 70), QPointF(5, 25), QPointF(20, 45), QPointF(35, 10),
                             QPointF(50, 45), QPointF(65, 25), QPointF(65, 70)}));
    Glyph(p, QRectF(0, 70, r.width(), 16), QStringLiteral("\u2605"), kYellow, 1.0);
  });
  Icon(dir + "image_load_default.png", 80, 80, [](QPainter& p, const QRectF& r) {
    Rounded(p, r, QColor(0xF5, 0xF6, 0xF7), 6);
    Glyph(p, r, QStringLiteral("\u25A8"), QColor(0xC8, 0xC8, 0xCC), 0.5);
  });
  for (const char* name : {"session_empty", "session_list_empty"}) {
    Icon(dir + QLatin1String(name) + ".png", 120, 120,
         Badge(QColor(0xF5, 0xF6, 0xF7), QStringLiteral("\u2709"), QColor(0xC8, 0xC8, 0xCC), 0.5));
  }
}

void FileIcons() {
  const struct {
    const char* type;
    QColor colour;
    const char* label;
  } files[] = {{"txt", kGrey, "TXT"},
               {"zip", QColor(0x8E, 0x6B, 0x3D), "ZIP"},
               {"audio", QColor(0xE9, 0x4E, 0x77), "\u266A"},
               {"video", QColor(0x7B, 0x4D, 0xD6), "\u25B6"},
               {"word", QColor(0x2B, 0x57, 0x9A), "W"},
               {"excel", QColor(0x21, 0x73, 0x46), "X"},
               {"ppt", QColor(0xD2, 0x47, 0x26), "P"},
               {"pdf", QColor(0xE0, 0x30, 0x30), "PDF"},
               {"pages", QColor(0xF0, 0x8A, 0x24), "PAG"},
               {"numbers", QColor(0x2E, 0xB1, 0x4F), "NUM"},
               {"keynote", QColor(0x1E, 0x88, 0xE5), "KEY"},
               {"ps", QColor(0x31, 0xA8, 0xFF), "Ps"},
               {"ai", QColor(0xFF, 0x9A, 0x00), "Ai"},
               {"others", QColor(0xA0, 0xA0, 0xA8), "?"}};
  for (const auto& file : files) {
    Icon(QStringLiteral("images/session_page/files/file_icon_%1.png").arg(QLatin1String(file.type)),
         40, 48, [&](QPainter& p, const QRectF& r) {
           QPainterPath page;
           page.moveTo(0, 0);
           page.lineTo(28, 0);
           page.lineTo(40, 12);
           page.lineTo(40, 48);
           page.lineTo(0, 48);
           page.closeSubpath();
           p.fillPath(page, file.colour);
           p.fillPath(QPainterPath([] {
                        QPainterPath fold;
                        fold.moveTo(28, 0);
                        fold.lineTo(40, 12);
                        fold.lineTo(28, 12);
                        fold.closeSubpath();
                        return fold;
                      }()),
                      file.colour.lighter(140));
           const QString label = QString::fromUtf8(file.label);
           Glyph(p, QRectF(0, 18, r.width(), 24), label, kWhite, label.size() > 2 ? 0.5 : 0.75,
                 QStringLiteral("DejaVu Sans"), true);
         });
  }
}

// --- emoji ------------------------------------------------------------------------

void NamedEmoji() {
  const struct {
    const char* stem;
    uint codePoint;
  } named[] = {
      {"aida", 0x1F915},
      {"aoman", 0x1F624},
      {"bishi", 0x1F612},
      {"bizui", 0x1F910},
      {"caimi", 0x1F911},
      {"chahan", 0x1F605},
      {"dahongchun", 0x1F48B},
      {"daxiao", 0x1F606},
      {"deyi", 0x1F60F},
      {"fadai", 0x1F636},
      {"feiwen", 0x1F618},
      {"fendou", 0x1F4AA},
      {"fennu", 0x1F621},
      {"ganga", 0x1F62C},
      {"haixiu", 0x1F60A},
      {"heiha", 0x1F92A},
      {"jianxiao", 0x1F63C},
      {"jianzha", 0x1F608},
      {"jie", 0x1F924},
      {"jingkong", 0x1F631},
      {"jingxia", 0x1F628},
      {"jizhi", 0x1F913},
      {"kaixin", 0x1F604},
      {"koubizi", 0x1F925},
      {"ku", 0x1F62D},
      {"kulou", 0x1F480},
      {"kun", 0x1F62A},
      {"lenghan", 0x1F630},
      {"lianhong", 0x1F633},
      {"liuhan", 0x1F613},
      {"maimeng", 0x1F97A},
      {"manma", 0x1F92C},
      {"nanguo", 0x1F61E},
      {"outu", 0x1F92E},
      {"qiaoda", 0x1F528},
      {"qinqin", 0x1F61A},
      {"qiudale", 0x1F648},
      {"se", 0x1F60D},
      {"shenfangou", 0x1F436},
      {"shengqi", 0x1F620},
      {"shuijiao", 0x1F634},
      {"sorry", 0x1F64F},
      {"suai", 0x1F629},
      {"taoqi", 0x1F61C},
      {"tiaopi", 0x1F61D},
      {"touxiang", 0x1F3F3},
      {"touxiao", 0x1F92D},
      {"tuxue", 0x1F922},
      {"weiqu", 0x1F623},
      {"weixiao", 0x1F642},
      {"wulian", 0x1F926},
      {"wuliao", 0x1F971},
      {"wuyu", 0x1F611},
      {"xiao", 0x1F600},
      {"xiaoshengdian", 0x1F92B},
      {"yinxian", 0x1F47F},
      {"yiwen", 0x1F914},
      {"yun", 0x1F635},
      {"zaijian", 0x1F44B},
      {"zhoumei", 0x1F61F},
  };
  for (const auto& emoji : named)
    Save(Emoji(emoji.codePoint, 64),
         QStringLiteral("images/emoji/emoji_%1.png").arg(QLatin1String(emoji.stem)));
}

QList<uint> EmojiRange(uint first, uint last) {
  QList<uint> points;
  for (uint c = first; c <= last; ++c)
    if (HasEmoji(c)) points << c;
  return points;
}

void NumberedEmoji() {
  QList<uint> points = EmojiRange(0x1F600, 0x1F64F) + EmojiRange(0x1F910, 0x1F92F) +
                       EmojiRange(0x1F970, 0x1F97A) + EmojiRange(0x1F440, 0x1F450) +
                       EmojiRange(0x1F466, 0x1F487) + EmojiRange(0x1F490, 0x1F4AA) +
                       EmojiRange(0x1F330, 0x1F37F);
  if (points.size() < 171) {
    std::fprintf(stderr, "the emoji font lacks faces\n");
    std::exit(1);
  }
  for (int n = 0; n < 171; ++n) {
    const QString name =
        QStringLiteral("images/emoji/emoji_q/q_%1.png").arg(n, 3, 10, QLatin1Char('0'));
    if (n == 63 || n == 64) {
      // Two animated ones, held in ".png" files as GIF data.
      GifWriter gif(66, 66);
      const QImage face = Emoji(points.at(n), 66, 0.7);
      for (int frame = 0; frame < 6; ++frame) {
        const int lift = qRound(5 * qSin(M_PI * frame / 6.0));
        gif.addFrame(
            Draw(66, 66,
                 [&](QPainter& p, const QRectF&) { p.drawImage(QPointF(0, 3 - lift), face); }),
            120);
      }
      if (!gif.save(OutPath(name))) std::exit(1);
      ++g_written;
    } else {
      Save(Emoji(points.at(n), 56), name);
    }
  }
}

void Stickers() {
  QList<uint> points = EmojiRange(0x1F400, 0x1F43F) + EmojiRange(0x1F980, 0x1F9AE);
  const QColor backs[] = {QColor(0xFF, 0xF3, 0xB0), QColor(0xD8, 0xF3, 0xE8),
                          QColor(0xDC, 0xE8, 0xFF), QColor(0xFF, 0xDD, 0xE4)};
  for (int n = 1; n <= 70; ++n) {
    const QImage face = Emoji(points.at(n - 1), 96, 0.62);
    Save(Draw(96, 96,
              [&](QPainter& p, const QRectF& r) {
                Rounded(p, r.adjusted(2, 2, -2, -2), backs[n % 4], 18);
                p.drawImage(QPointF(0, 0), face);
              }),
         QStringLiteral("images/emoji/emoji_south_korea/emotion_gif_%1.png")
             .arg(n, 3, 10, QLatin1Char('0')));
  }
}

// --- sounds -------------------------------------------------------------------------

// PCM WAV, 16 bits, 2 channels, 48000 Hz: a sum of decaying bells, one per note.
struct Note {
  double start;
  double frequency;
  double length;
};

void Sound(const QString& relative, double seconds, const QList<Note>& notes) {
  constexpr int kRate = 48000;
  constexpr int kChannels = 2;
  const int frames = int(seconds * kRate);
  QByteArray pcm(frames * kChannels * 2, '\0');
  auto* out = reinterpret_cast<qint16*>(pcm.data());
  for (int i = 0; i < frames; ++i) {
    const double t = double(i) / kRate;
    double sample = 0;
    for (const Note& note : notes) {
      const double local = t - note.start;
      if (local < 0 || local > note.length) continue;
      const double attack = qMin(1.0, local / 0.01);
      const double envelope = attack * qExp(-4.0 * local / note.length);
      sample += envelope * (qSin(2 * M_PI * note.frequency * local) +
                            0.3 * qSin(4 * M_PI * note.frequency * local));
    }
    const auto value = qint16(qBound(-1.0, sample * 0.3, 1.0) * 32000);
    out[2 * i] = qToLittleEndian(value);
    out[2 * i + 1] = qToLittleEndian(value);
  }
  QByteArray wav("RIFF");
  auto put32 = [&wav](quint32 v) {
    v = qToLittleEndian(v);
    wav.append(reinterpret_cast<const char*>(&v), 4);
  };
  auto put16 = [&wav](quint16 v) {
    v = qToLittleEndian(v);
    wav.append(reinterpret_cast<const char*>(&v), 2);
  };
  put32(36 + pcm.size());
  wav.append("WAVEfmt ");
  put32(16);
  put16(1);
  put16(kChannels);
  put32(kRate);
  put32(kRate * kChannels * 2);
  put16(kChannels * 2);
  put16(16);
  wav.append("data");
  put32(pcm.size());
  wav.append(pcm);
  QFile file(OutPath(relative));
  if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()) std::exit(1);
  ++g_written;
}

void Sounds() {
  Sound("sound/message.wav", 2.0, {{0.0, 880, 1.2}, {0.15, 1318.5, 1.6}});
  Sound("sound/loginSuccess.wav", 2.6,
        {{0.0, 523.25, 1.4}, {0.18, 659.25, 1.4}, {0.36, 783.99, 1.6}, {0.54, 1046.5, 2.0}});
  Sound("sound/networkconnected.wav", 2.2, {{0.0, 659.25, 1.2}, {0.25, 987.77, 1.8}});
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <client source folder>\n", argv[0]);
    return 2;
  }
  g_root = QString::fromLocal8Bit(argv[1]);
  g_emojiFamily = QStringLiteral("Noto Color Emoji");
  if (!QFontDatabase().families().contains(g_emojiFamily)) {
    std::fprintf(stderr, "the font \"Noto Color Emoji\" (fonts-noto-color-emoji) is missing\n");
    return 1;
  }
  WindowPictures();
  IndexPagePictures();
  LoginPagePictures();
  BubblePictures();
  ContactPagePictures();
  SessionPagePictures();
  FileIcons();
  NamedEmoji();
  NumberedEmoji();
  Stickers();
  Sounds();
  std::printf("%d files written under %s\n", g_written, qPrintable(g_root));
  return 0;
}
