-- SPDX-License-Identifier: MIT
-- Pirolan's database and table in Microsoft SQL Server. The file is UTF-8:
--   sqlcmd -S host,1433 -U sa -f 65001 -i sql/sqlserver.sql
IF DB_ID(N'Температура') IS NULL
    CREATE DATABASE [Температура];
GO
USE [Температура];
GO
IF OBJECT_ID(N'dbo.Темп') IS NULL
BEGIN
    CREATE TABLE dbo.[Темп] (
        [Время]      datetime2(3) NOT NULL,
        [Темп_Улица] float        NOT NULL
    );
    CREATE INDEX [IX_Темп_Время] ON dbo.[Темп] ([Время]);
END
GO
