#ifndef TESMO_SERVICES_TMESSAGEIDS_H
#define TESMO_SERVICES_TMESSAGEIDS_H

// Lets each stored message raise its event once: 1 when the local id was not seen
// before (since the current database was opened), else 0. Id 0 always gives 1 and
// is not remembered. Safe from every thread.
int IsNewMessageId(int localId);
// Forgets every id: local ids restart with each account database.
void ClearMessageIds();

#endif
