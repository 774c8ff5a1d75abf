#ifndef TESMO_BASE_TSTOPFLAG_H
#define TESMO_BASE_TSTOPFLAG_H

// The engine-wide stop flag. Every engine loop tests it; loops that wait use
// EngineSleep, which returns early once the flag is raised so a stop never waits
// out a full sleep.
bool IsEngineStopping();
void SetEngineStopping(bool stopping);
// Sleeps up to ms milliseconds; returns true when the engine is stopping.
bool EngineSleep(unsigned ms);

#endif
