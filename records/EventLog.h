// The local event log: the GAMET row of each started match and one CHUNGLOG / HONGLOG row per scoring
// event, in the local database (theApp.m_dbLocal). The writers are CMainWnd::LogMatchRow,
// CMainWnd::LogChungEvent and CMainWnd::LogHongEvent; these are their rules and their clock.
// User-interface thread only.
#pragma once

#include <QDateTime>

#include <string>

// The column of a side's event log (0 CHUNGLOG, 1 HONGLOG) that holds an event of this kind; null for a
// kind that is not logged (18, and anything outside 0..23).
const char* EventLogColumn(int side, int kind);

// The match key of a match started at this local time: "yyyyMMddHHmm", and for the n-th match started in
// the same minute (n >= 2) "-n" after it, so the key stays readable and unique on this court.
std::string EventLogKey(const QDateTime& started, int n);

// The local time the log stamps its rows and keys with. A test puts a fixed clock in its place; null brings
// the system clock back.
using EventLogClock = QDateTime (*)();
void SetEventLogClock(EventLogClock clock);
QDateTime EventLogNow();
