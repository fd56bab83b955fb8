-- Tables of the mould base catalogue ZDTSTANDARDMOULD.db. The module only reads
-- them; catalogue_gen fills them from the text sources beside this file.
-- Column names are spelled as the module's statements spell them (SQLite
-- matches names without regard to case). Thickness columns that hold either a
-- fixed value or a value code of plate_thick_setup have NUMERIC affinity, so a
-- value is stored as a number and a code as text.

-- One row per plate of each mould type (style), top plate first.
CREATE TABLE MODEL_PLATE_LIST (
  MTYPE      TEXT NOT NULL,     -- style: series S, type A..D, clamp plates I or H
  platename  TEXT NOT NULL,
  slocation  TEXT NOT NULL,     -- 上模 for the plates of the fixed half, else 下模
  sortnumber INTEGER NOT NULL   -- position in the stack, counted from the top
);
CREATE INDEX MODEL_PLATE_LIST_MTYPE ON MODEL_PLATE_LIST (MTYPE);

-- One row per mould size code; rowid order is the catalogue order of the codes.
CREATE TABLE MODE_PLATE_SIZE (
  MCODE     TEXT NOT NULL UNIQUE, -- width/10 then length/10 (length 1000 and up: /100)
  sapw      REAL,     -- plate width of A, B, stripper and support plates, H-type clamp plates
  sapl      REAL,     -- plate length (every plate)
  abplate_h NUMERIC,  -- A/B plate thickness or its value code
  fplate_h  NUMERIC,  -- spacer block height or its value code
  stph      REAL,     -- stripper plate thickness
  suph      REAL,     -- support plate thickness
  ssbw      REAL,     -- spacer block width
  erpw      REAL,     -- ejector retainer plate and ejector plate width
  erph      NUMERIC,  -- ejector retainer plate thickness or its value code
  ejph      NUMERIC,  -- ejector plate thickness or its value code
  tpih      REAL,     -- top clamp plate thickness
  bpih      REAL,     -- bottom clamp plate thickness
  tpiw      REAL,     -- I-type clamp plate width
  rsph      NUMERIC,  -- pin-point series: runner stripper plate (水口板) thickness or its value code; NULL: no such series
  tpph      NUMERIC   -- pin-point series: top clamp plate thickness or its value code (the side-gate series has tpih)
);

-- The series of mould bases (大水口 side gate, 细水口 pin-point) and what each
-- offers: its styles, and the codes it is made in (rowid order of
-- MODE_PLATE_SIZE is their order too). A catalogue without these tables holds
-- the side-gate series alone.
CREATE TABLE MODE_SERIES_TYPE (
  SERIES TEXT NOT NULL,
  MTYPE  TEXT NOT NULL
);
CREATE TABLE MODE_SERIES_CODE (
  SERIES TEXT NOT NULL,
  MCODE  TEXT NOT NULL
);
CREATE INDEX MODE_SERIES_CODE_SERIES ON MODE_SERIES_CODE (SERIES, MCODE);

-- The allowed thicknesses of a value code, thinnest first (row order is the
-- order the main dialog lists them in).
CREATE TABLE plate_thick_setup (
  VATCODE TEXT NOT NULL,
  SVALUE  INTEGER NOT NULL
);
CREATE INDEX plate_thick_setup_VATCODE ON plate_thick_setup (VATCODE);

-- Eyebolt size of a plate over a range of size keys (width*10 then length as
-- four digits: 2025 -> 2000250). Ranges of one plate never overlap.
CREATE TABLE MODE_EYEBOLT_INFO (
  mcodef    INTEGER NOT NULL,
  mcodet    INTEGER NOT NULL,
  platename TEXT NOT NULL,
  itemvalue TEXT NOT NULL     -- metric thread size as numeric text, "12" = M12
);
CREATE INDEX MODE_EYEBOLT_INFO_PLATE ON MODE_EYEBOLT_INFO (platename, mcodef);

-- Eyebolt patterns of the A and B plates over a range of size keys.
-- GROUPCODE A: attribute3 for plates up to attribute1 thick, attribute4 above.
-- GROUPCODE B or C: pattern attribute4 with the paired eyebolts attribute2 off centre.
-- attribute2 of every group: an eyebolt that would sit in the middle of an edge
-- (where a side lock sits) becomes a pair this far either side of it.
CREATE TABLE MODE_LALING_SETUP (
  mcodef     INTEGER NOT NULL,
  mcodet     INTEGER NOT NULL,
  GROUPCODE  TEXT NOT NULL,
  attribute1 INTEGER,
  attribute2 INTEGER,
  attribute3 INTEGER,
  attribute4 INTEGER
);
CREATE INDEX MODE_LALING_SETUP_GROUP ON MODE_LALING_SETUP (GROUPCODE, mcodef);

-- Block drawing (file name suffix in BlockRes) of a standard item on a plate in
-- a view: machining processes with the hole's nominal diameter in front, locks
-- with the side code behind.
CREATE TABLE STANDITEMBLOCKSETUP (
  PLATENAME    TEXT NOT NULL,
  ITEMTYPENAME TEXT NOT NULL,   -- machining process name or lock size
  INSTALLWAY   INTEGER NOT NULL, -- 1 normal; 0 reversed guide pillars
  FACEDIR      TEXT NOT NULL,   -- view code: A1 plan, A3 side
  blockname    TEXT NOT NULL
);
CREATE UNIQUE INDEX STANDITEMBLOCKSETUP_KEY ON STANDITEMBLOCKSETUP (PLATENAME, ITEMTYPENAME, INSTALLWAY, FACEDIR);

-- The lock sizes a mould base has room for: one row per code, style, lock size
-- and pair of opposite edges on which the lock's block, centred on the edge of
-- the A and the B plate, keeps 2 mm clear of every machining hole of both.
-- Worked out by catalogue_gen from the hole layout and the lock shapes.
CREATE TABLE MODE_LOCK_FIT (
  MCODE TEXT NOT NULL,
  MTYPE TEXT NOT NULL,
  size  TEXT NOT NULL,    -- lock size, as in STANDITEMBLOCKSETUP ("TL-050")
  edges TEXT NOT NULL     -- TB top and bottom edges, LR left and right edges
);
CREATE INDEX MODE_LOCK_FIT_CODE ON MODE_LOCK_FIT (MCODE, MTYPE);

-- Machining processes.
CREATE TABLE base_proc (
  proc_id   INTEGER PRIMARY KEY,
  proc_name TEXT NOT NULL UNIQUE
);

-- The parameters a process is described by ("X值", "Y值", "直径").
CREATE TABLE base_proc_detail (
  para_id   INTEGER PRIMARY KEY,
  proc_id   INTEGER NOT NULL REFERENCES base_proc (proc_id),
  para_name TEXT NOT NULL
);

-- One parameter value of one hole step. The rows of one step share model_id,
-- plate_name, the process (through para_id), g_c (the step) and gg_c (the hole).
CREATE TABLE base_plate_proc_detail (
  id         INTEGER PRIMARY KEY,
  style      TEXT NOT NULL,    -- family letter: S side gate, D pin-point, J simplified pin-point
  itemType   INTEGER NOT NULL, -- 1 machining hole
  model_id   TEXT NOT NULL,    -- mould code with every M written as 0
  model      TEXT NOT NULL,    -- styles the hole belongs to, comma separated; '' all
  plate_name TEXT NOT NULL,
  g_c        INTEGER NOT NULL, -- step of a multi-step hole, 1 = the through hole
  gg_c       INTEGER NOT NULL, -- hole number within the process on the plate
  para_id    INTEGER NOT NULL REFERENCES base_proc_detail (para_id),
  para_val   REAL NOT NULL
);
CREATE INDEX base_plate_proc_detail_MODEL ON base_plate_proc_detail (model_id, itemType, plate_name);

-- The form of the hole a block drawing shows: how the hole is machined, for the
-- block drawings and for tables of the holes. One row per block name stem,
-- nominal diameter and plate thickness that the catalogue's codes, styles and
-- thickness choices can produce. The side view of a hole in a plate T thick is
-- the drawing "<diameter><stem>-A3-<T>.dwg" in BlockRes.
CREATE TABLE HOLE_FORM (
  blockstem  TEXT NOT NULL,     -- the block name before its view code: "GP" of "GP-A3"
  diameter   INTEGER NOT NULL,  -- the number in front of the block's file name: the catalogue hole's
                                -- smallest diameter, rounded (for reversed guide pillar blocks, the
                                -- normal hole's: the row then gives the reversed hole the block draws)
  thickness  INTEGER NOT NULL,  -- the plate's thickness, whole mm
  kind       TEXT NOT NULL,     -- 'hole', or 'slot': a rebate along both long sides of a clamp plate
  face       TEXT NOT NULL,     -- the face it is machined from, the plate as it sits in the closed
                                -- mould with the top clamp plate up: 'top', 'bottom' or 'side'
  bore       REAL NOT NULL,     -- the hole's diameter (tapped: the thread's size, 12 = M12); a slot's length
  threaded   INTEGER NOT NULL,  -- 1 tapped
  tapdrill   REAL NOT NULL,     -- a tapped hole's tap drill, else 0
  through    INTEGER NOT NULL,  -- 1 through the plate (a slot: the whole side long)
  depth      REAL NOT NULL,     -- blind: depth at full diameter (tapped: the thread) from the face;
                                -- a slot: its depth into the side face; 0 through
  drilldepth REAL NOT NULL,     -- blind: the drilled depth up to the drill point; 0 through
  cbdia      REAL NOT NULL,     -- the counterbore in that face, 0 none
  cbdepth    REAL NOT NULL      -- its depth; a slot: its height from the face
);
CREATE UNIQUE INDEX HOLE_FORM_KEY ON HOLE_FORM (blockstem, diameter, thickness);
