#ifndef TESMO_NET_TSERVERKEYS_H
#define TESMO_NET_TSERVERKEYS_H

// The keys under which the engine keeps the servers' base addresses and resolves URL
// paths; the program's URL table uses the same texts.
constexpr char kLoginServer[] = "LOGIN";
constexpr char kUserServer[] = "USERSERVER";
constexpr char kGroupServer[] = "GROUPSERVER";
constexpr char kImServer[] = "IMSERVER";
constexpr char kPubServer[] = "PUBSERVER";

#endif
