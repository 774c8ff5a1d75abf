// The remark a client writes with a file message, made from the file itself: its
// name and size for every kind, the pixel size of a picture (PNG, GIF or JPEG) and
// the length in seconds of a voice message (WAV), with the sender's nick and logo.
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALFILEREMARK_H
#define TESMO_TOOLS_LOCALSERVER_LOCALFILEREMARK_H

#include <string>

class LocalFileRemark {
 public:
  // "pic", "file", "audio" or "video": the message types that carry a file.
  static bool IsFileType(const std::string& type);
  // False when the bytes are no PNG, GIF or JPEG whose size can be read.
  static bool PictureSize(const std::string& data, int* width, int* height);
  // The whole seconds of a WAV file's sound, rounded up; -1 when it is no WAV file.
  static int WavSeconds(const std::string& data);
  // The remark JSON text: "filename", "filesize", "from" {"logo", "nick"}, and
  // "width"/"height" for a picture, "seconds" for a voice message when known.
  static std::string Build(const std::string& type, const std::string& fileName,
                           const std::string& data, const std::string& nick,
                           const std::string& logo);
};

#endif
