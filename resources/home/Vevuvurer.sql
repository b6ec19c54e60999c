-- Vevuvurer.edi, the court's local match database:
--   PLAYER    the contests registered on this court, one row each (all text);
--   GAMET     one row per started match, keyed by the match key, with the running totals;
--   CHUNGLOG  one row per scoring event of Chung (blue), HONGLOG the same for Hong (red).
-- The set-up script makes an empty database from this file:  sqlite3 Vevuvurer.edi < Vevuvurer.sql
-- Declared types tell the program how to read each column: TEXT, INTEGER, DATETIME ("YYYY-MM-DD HH:MM:SS")
-- and YESNO (0 or 1).

-- The event log is written while the match runs and read by the result browser at the same time.
PRAGMA journal_mode=WAL;

CREATE TABLE IF NOT EXISTS PLAYER (
    FNo TEXT,
    Weight TEXT,
    CName TEXT,
    CNation TEXT,
    HName TEXT,
    HNation TEXT,
    Weight1 TEXT,
    Sex TEXT,
    CVMac TEXT,
    HVMac TEXT,
    CFrom TEXT,
    HFrom TEXT,
    MatchNo TEXT
);

CREATE TABLE IF NOT EXISTS GAMET (
    roomno TEXT,
    gameno TEXT,
    gtime DATETIME,
    keyvalue TEXT NOT NULL PRIMARY KEY,
    cname TEXT,
    hname TEXT,
    cnation TEXT,
    hnation TEXT,
    cvmac TEXT,
    hvmac TEXT,
    sex TEXT,
    face INTEGER,
    valid INTEGER,
    weight TEXT,
    weight1 TEXT,
    bvalue TEXT,
    fvalue TEXT,
    cfrom TEXT,
    hfrom TEXT,
    -- a match without a scoring event reads 0, not empty
    chungpoint INTEGER DEFAULT 0,
    hongpoint INTEGER DEFAULT 0,
    cpoint INTEGER DEFAULT 0,
    hpoint INTEGER DEFAULT 0,
    cfacepoint INTEGER DEFAULT 0,
    hfacepoint INTEGER DEFAULT 0,
    cbodypoint INTEGER DEFAULT 0,
    hbodypoint INTEGER DEFAULT 0,
    cdeduct INTEGER DEFAULT 0,
    hdeduct INTEGER DEFAULT 0,
    win TEXT
);

-- Each event row sets one of vest ... judge3; the others read 0.
-- dbindex numbers the events of a match across both tables, so together they give the order of events.
CREATE TABLE IF NOT EXISTS CHUNGLOG (
    keyvalue TEXT,
    round TEXT,
    rtime TEXT,
    vest INTEGER DEFAULT 0,
    face INTEGER DEFAULT 0,
    point INTEGER DEFAULT 0,
    jpoint INTEGER DEFAULT 0,
    deduct INTEGER DEFAULT 0,
    judge1 INTEGER DEFAULT 0,
    judge2 INTEGER DEFAULT 0,
    judge3 INTEGER DEFAULT 0,
    gtime DATETIME,
    itemvalid YESNO,
    ptime INTEGER,
    dbindex INTEGER
);

CREATE TABLE IF NOT EXISTS HONGLOG (
    keyvalue TEXT,
    round TEXT,
    rtime TEXT,
    vest INTEGER DEFAULT 0,
    face INTEGER DEFAULT 0,
    point INTEGER DEFAULT 0,
    jpoint INTEGER DEFAULT 0,
    deduct INTEGER DEFAULT 0,
    judge1 INTEGER DEFAULT 0,
    judge2 INTEGER DEFAULT 0,
    judge3 INTEGER DEFAULT 0,
    gtime DATETIME,
    itemvalid YESNO,
    ptime INTEGER,
    dbindex INTEGER
);

-- A match's events are read (result sheet) and deleted (result browser) by its key, in dbindex order.
CREATE INDEX IF NOT EXISTS CHUNGLOG_match ON CHUNGLOG (keyvalue, dbindex);
CREATE INDEX IF NOT EXISTS HONGLOG_match ON HONGLOG (keyvalue, dbindex);
