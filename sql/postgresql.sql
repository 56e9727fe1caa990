-- SPDX-License-Identifier: MIT
-- Pirolan's table in PostgreSQL (run inside the database "Температура", encoding UTF8).
CREATE TABLE IF NOT EXISTS Темп (
    Время      timestamp(3) without time zone NOT NULL,
    Темп_Улица double precision NOT NULL
);
CREATE INDEX IF NOT EXISTS Темп_Время ON Темп (Время);
