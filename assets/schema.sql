-- The notes database: one table per week slot (A..E), one row per month.
-- YearMonthStr is the year followed by the month without a leading zero
-- ("20106" is June 2010); the six memo columns hold each day box's RTF bytes.
-- ID is the row's identity, so that a save updates exactly the row it read.
CREATE TABLE tb_A (ID INTEGER PRIMARY KEY, YearMonthStr TEXT, MondayCon BLOB, TuesdayCon BLOB,
                   WednesdayCon BLOB, ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB);
CREATE TABLE tb_B (ID INTEGER PRIMARY KEY, YearMonthStr TEXT, MondayCon BLOB, TuesdayCon BLOB,
                   WednesdayCon BLOB, ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB);
CREATE TABLE tb_C (ID INTEGER PRIMARY KEY, YearMonthStr TEXT, MondayCon BLOB, TuesdayCon BLOB,
                   WednesdayCon BLOB, ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB);
CREATE TABLE tb_D (ID INTEGER PRIMARY KEY, YearMonthStr TEXT, MondayCon BLOB, TuesdayCon BLOB,
                   WednesdayCon BLOB, ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB);
CREATE TABLE tb_E (ID INTEGER PRIMARY KEY, YearMonthStr TEXT, MondayCon BLOB, TuesdayCon BLOB,
                   WednesdayCon BLOB, ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB);
PRAGMA journal_mode=WAL;
