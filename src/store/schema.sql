-- The kitchen's tables. Types: INTEGER PRIMARY KEY AUTOINCREMENT for row keys, REAL for numbers and
-- references (NULL is empty), BOOLEAN 0/1, DATE as 'yyyy-MM-dd' text, VARCHAR(n) text of at most n
-- characters, TEXT for memos. Index names carry their table's name since SQLite keeps one namespace.

CREATE TABLE Edinica (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(20) CHECK (length(Name) <= 20),
  Shorthame VARCHAR(5) CHECK (length(Shorthame) <= 5),
  Gramm REAL
);
CREATE INDEX Edinica_Name ON Edinica (Name);
CREATE INDEX Edinica_Kod ON Edinica (Kod);

CREATE TABLE Gring (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50) CHECK (length(Name) <= 50)
);
CREATE INDEX Gring_Name ON Gring (Name);
CREATE INDEX Gring_Kod ON Gring (Kod);

CREATE TABLE Ing (
  Kod REAL,
  Name VARCHAR(50) CHECK (length(Name) <= 50),
  Kod1 INTEGER PRIMARY KEY AUTOINCREMENT,
  Edinica REAL,
  Pf BOOLEAN CHECK (Pf IN (0, 1)),
  Cena REAL,
  Proc REAL,
  Kolvo REAL,
  Okr REAL,
  Position REAL,
  Vih REAL,
  -- Nutrition per 100 g for the technological cards; NULL where not given.
  Protein REAL,
  Fat REAL,
  Carbs REAL,
  Energy REAL
);
CREATE INDEX Ing_Kod ON Ing (Kod);
CREATE INDEX Ing_Kod1 ON Ing (Kod1);
CREATE INDEX Ing_Name ON Ing (Name);

CREATE TABLE pf (
  NNN INTEGER PRIMARY KEY AUTOINCREMENT,
  Kod REAL,
  Name REAL,
  Kolvo REAL
);
CREATE INDEX pf_Kod ON pf (Kod);
CREATE INDEX pf_Name ON pf (Name);

CREATE TABLE Grbludo (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50) CHECK (length(Name) <= 50),
  N REAL
);
CREATE INDEX Grbludo_Name ON Grbludo (Name);
CREATE INDEX Grbludo_Kod ON Grbludo (Kod);

CREATE TABLE Bludo (
  Kod REAL,
  Name VARCHAR(50) CHECK (length(Name) <= 50),
  Kod1 INTEGER PRIMARY KEY AUTOINCREMENT,
  Nporc REAL,
  Cena REAL,
  Proc REAL,
  Vixod VARCHAR(15) CHECK (length(Vixod) <= 15),
  Status BOOLEAN CHECK (Status IN (0, 1)),
  Recept TEXT,
  Print VARCHAR(1) CHECK (length(Print) <= 1),
  X VARCHAR(20) CHECK (length(X) <= 20),
  -- The technological card's requirements for serving and for storage.
  Serving TEXT,
  Storage TEXT
);
CREATE INDEX Bludo_Kod ON Bludo (Kod);
CREATE INDEX Bludo_Kod1 ON Bludo (Kod1);
CREATE INDEX Bludo_Name ON Bludo (Name);

CREATE TABLE Karta (
  Kod REAL,
  NNN INTEGER PRIMARY KEY AUTOINCREMENT,
  KodIng REAL,
  Name REAL,
  Kolvo REAL,
  Vihod REAL
);
CREATE INDEX Karta_Kod ON Karta (Kod);
CREATE INDEX Karta_Name ON Karta (Name);

CREATE TABLE Menu (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50) CHECK (length(Name) <= 50),
  Status BOOLEAN CHECK (Status IN (0, 1)),
  Date DATE CHECK (Date IS NULL OR Date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]')
);
CREATE INDEX Menu_Date ON Menu (Date);

CREATE TABLE MenuSp (
  Kod REAL,
  Name REAL,
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  GrName REAL,
  Status BOOLEAN DEFAULT 1 CHECK (Status IN (0, 1)),
  N REAL,
  Opis VARCHAR(60) CHECK (length(Opis) <= 60),
  Nn REAL,
  CenaProd REAL
);
CREATE INDEX MenuSp_KGN ON MenuSp (Kod, Nn, N);
CREATE INDEX MenuSp_Kod ON MenuSp (Kod);
CREATE INDEX MenuSp_Name ON MenuSp (Name);
CREATE INDEX MenuSp_GrName ON MenuSp (GrName);

CREATE TABLE Realdoc (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  DateR DATE CHECK (DateR IS NULL OR DateR GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),
  NameR VARCHAR(50) CHECK (length(NameR) <= 50),
  Nnn REAL,
  DateMenu DATE CHECK (DateMenu IS NULL OR DateMenu GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),
  Status REAL DEFAULT 5
);
CREATE INDEX Realdoc_Nnn ON Realdoc (Nnn);
CREATE INDEX Realdoc_DateR ON Realdoc (DateR);

CREATE TABLE Realsum (
  Kod REAL,
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  KodGrBludo REAL,
  KodBludo REAL,
  Kolvo REAL,
  Cumma REAL,
  Status REAL
);
CREATE INDEX Realsum_Kod ON Realsum (Kod);

CREATE TABLE RealItog (
  Kod REAL,
  KodIng REAL,
  NNN INTEGER PRIMARY KEY AUTOINCREMENT,
  CenaIng REAL,
  Kolvo REAL,
  Edinica REAL,
  Cenaing1 REAL,
  KodGrIng REAL,
  Okr REAL,
  Position REAL
);
CREATE INDEX RealItog_KodGrIngKodIng ON RealItog (Kod, KodGrIng, KodIng);

CREATE TABLE Svodi (
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  Kod REAL,
  Kolvo REAL,
  Summa REAL,
  Summa1 REAL
);
CREATE INDEX Svodi_Kod ON Svodi (Kod);

CREATE TABLE Svodb (
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  Kod REAL,
  Kolvo REAL,
  Summa REAL
);
CREATE INDEX Svodb_Kod ON Svodb (Kod);

CREATE TABLE Podpis (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Poradok REAL,
  Fam VARCHAR(20) CHECK (length(Fam) <= 20),
  Nam VARCHAR(20) CHECK (length(Nam) <= 20),
  Ot VARCHAR(20) CHECK (length(Ot) <= 20),
  Dol VARCHAR(100) CHECK (length(Dol) <= 100)
);
CREATE INDEX Podpis_Poradok ON Podpis (Poradok);

CREATE TABLE Sklad (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50) CHECK (length(Name) <= 50)
);

CREATE TABLE Partner (
  Kod REAL,
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50) CHECK (length(Name) <= 50),
  Inn VARCHAR(10) CHECK (length(Inn) <= 10),
  Okpo VARCHAR(20) CHECK (length(Okpo) <= 20),
  Okonh VARCHAR(30) CHECK (length(Okonh) <= 30),
  Adress VARCHAR(70) CHECK (length(Adress) <= 70),
  Bank VARCHAR(70) CHECK (length(Bank) <= 70),
  Bik VARCHAR(10) CHECK (length(Bik) <= 10),
  Rs VARCHAR(20) CHECK (length(Rs) <= 20),
  Ks VARCHAR(20) CHECK (length(Ks) <= 20)
);
CREATE INDEX Partner_Name ON Partner (Name);
CREATE INDEX Partner_Nnn ON Partner (Nnn);

CREATE TABLE Doc (
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  Date DATE CHECK (Date IS NULL OR Date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),
  Nomer VARCHAR(50) CHECK (length(Nomer) <= 50),
  Partner REAL,
  Provodka BOOLEAN CHECK (Provodka IN (0, 1))
);
CREATE INDEX Doc_Nnn ON Doc (Nnn);
CREATE INDEX Doc_Date ON Doc (Date);

CREATE TABLE Move (
  Kod REAL,
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  Date DATE CHECK (Date IS NULL OR Date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),
  Nomer VARCHAR(50) CHECK (length(Nomer) <= 50),
  Partner REAL,
  Oper VARCHAR(8) CHECK (length(Oper) <= 8),
  Cena REAL,
  Kolvo REAL,
  Kod1 REAL,
  Provodka BOOLEAN CHECK (Provodka IN (0, 1))
);
CREATE INDEX Move_Kod1 ON Move (Kod1);
CREATE INDEX Move_Kod ON Move (Kod);

CREATE TABLE invdok (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Date DATE CHECK (Date IS NULL OR Date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),
  Name VARCHAR(50) CHECK (length(Name) <= 50),
  Provodka REAL
);
CREATE INDEX invdok_Date ON invdok (Date);

CREATE TABLE inv (
  Nnn INTEGER PRIMARY KEY AUTOINCREMENT,
  Kod REAL,
  Ing REAL,
  Ing22 VARCHAR(50) CHECK (length(Ing22) <= 50),
  Oldkolvo REAL,
  OldPrice REAL,
  NewKolvo REAL,
  Newprice REAL
);
CREATE INDEX inv_KodIng22 ON inv (Kod, Ing22);

-- The organisation's details for the headers and signatures of the printed forms: one row, Kod 1.
CREATE TABLE Org (
  Kod INTEGER PRIMARY KEY CHECK (Kod = 1),
  Name VARCHAR(100) CHECK (length(Name) <= 100),
  Form VARCHAR(50) CHECK (length(Form) <= 50),
  Inn VARCHAR(12) CHECK (length(Inn) <= 12),
  Kpp VARCHAR(9) CHECK (length(Kpp) <= 9),
  Okpo VARCHAR(10) CHECK (length(Okpo) <= 10),
  Address VARCHAR(150) CHECK (length(Address) <= 150),
  Unit VARCHAR(100) CHECK (length(Unit) <= 100),
  Head VARCHAR(60) CHECK (length(Head) <= 60),
  HeadPosition VARCHAR(100) CHECK (length(HeadPosition) <= 100),
  Chef VARCHAR(60) CHECK (length(Chef) <= 60),
  Calculator VARCHAR(60) CHECK (length(Calculator) <= 60),
  Commission1 VARCHAR(100) CHECK (length(Commission1) <= 100),
  Commission2 VARCHAR(100) CHECK (length(Commission2) <= 100),
  Commission3 VARCHAR(100) CHECK (length(Commission3) <= 100)
);

-- Every change of an ingredient's price, written in the transaction of the change. Data is the day the
-- new price holds from: the document's date where a document changed it (Doc: a receipt's Doc.Nnn,
-- an inventory's invdok.Kod), else the day of the change. Oldcena is NULL for a new ingredient.
CREATE TABLE Pricehist (
  Kod INTEGER PRIMARY KEY AUTOINCREMENT,
  Ing REAL,
  Data DATE,
  Oldcena REAL,
  Cena REAL,
  Doc REAL,
  Source VARCHAR(40) CHECK (length(Source) <= 40)
);
CREATE INDEX Pricehist_Ing ON Pricehist (Ing, Data);

-- The schema version in a table every engine and tool reads, one row, kept in step with
-- PRAGMA user_version below (SQLite's own tools read that one).
CREATE TABLE Version (
  Number INTEGER NOT NULL
);
INSERT INTO Version (Number) VALUES (5);

PRAGMA user_version = 5;
