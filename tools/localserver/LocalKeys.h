// The keys the local server prints its addresses under, keeps its ports under and
// answers Address() for. The HTTP ones are the keys the engine resolves its URL paths
// with and finds in the login answer, so they must stay exactly these texts.
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALKEYS_H
#define TESMO_TOOLS_LOCALSERVER_LOCALKEYS_H

namespace LocalKeys {

// HTTPS servers.
inline constexpr char kLoginServer[] = "LOGIN";
inline constexpr char kUserServer[] = "USERSERVER";
inline constexpr char kGroupServer[] = "GROUPSERVER";
inline constexpr char kImServer[] = "IMSERVER";
inline constexpr char kPubServer[] = "PUBSERVER";
inline constexpr char kSpeechServer[] = "SPEECHSERVER";
// The plain HTTP download server; Address() knows it as kDown.
inline constexpr char kDownServer[] = "DOWNSERVER";
inline constexpr char kDown[] = "DOWN";
// The UDP IM server, the file store's two ports and the control port.
inline constexpr char kIm[] = "IM";
inline constexpr char kTracker[] = "TRACKER";
inline constexpr char kStorage[] = "STORAGE";
inline constexpr char kControl[] = "CONTROL";

}  // namespace LocalKeys

#endif
