-- SPDX-License-Identifier: MIT
-- Pirolan's table in a local SQLite file. STRICT refuses a reading that is not a number,
-- as SQL Server does. Times are local, ISO 8601 with milliseconds.
CREATE TABLE IF NOT EXISTS Темп (
    Время      TEXT NOT NULL,
    Темп_Улица REAL NOT NULL
) STRICT;
CREATE INDEX IF NOT EXISTS Темп_Время ON Темп (Время);
