-- Tables of the order list (订料单) in ZDTSTANDARDMOULD.db, filled by
-- catalogue_gen from order_*.csv beside this file. The module only reads them.
--
-- Formulas (size, length, engage, reach and the stack figures) add and
-- subtract terms: a number, a name, or a number times a name ("1.5*ts"); or
-- they take the least of such sums, "min(A板-5, 托板+10)". A
-- name is a plate of the base (its thickness; 0 when the base has no such
-- plate), a standard part of the base (its length; 0 when the base has none),
-- an earlier stack figure, a part size of the mould code (BOM_PART_SIZE), or
-- d / D: the smallest and the largest diameter of the hole the part is
-- counted on.

-- The sizes of the standard parts of each mould code, by the names the
-- catalogue's hole rules use (gp the guide pillar, rp the return pin, ts the
-- clamp screw thread, tsk its counterbore depth, stoph the stop pin height,
-- ...): the names the part rules' formulas use, for every code that has them.
CREATE TABLE BOM_PART_SIZE (
  MCODE TEXT NOT NULL,
  name  TEXT NOT NULL,
  value REAL NOT NULL
);
CREATE UNIQUE INDEX BOM_PART_SIZE_KEY ON BOM_PART_SIZE (MCODE, name);

-- The steel a plate is ordered in; pocketed: the steel when the plate carries
-- a pocket (cavity and core plates), empty for the same.
CREATE TABLE BOM_PLATE_MATERIAL (
  platename TEXT NOT NULL UNIQUE,
  material  TEXT NOT NULL,
  pocketed  TEXT NOT NULL
);

-- The standard parts of a base. A row counts the holes of process proc_name on
-- plate platename ('' every plate) and lists one part per hole (counting
-- 'hole'), or as many as the plate with the most such holes needs (counting
-- 'plate': eyebolts go from plate to plate); counting 'lock' lists the locks
-- of type proc_name the design carries. model: the styles the row is for,
-- comma separated ('' every style). installway: the guide pillar mounting the
-- row is for (1 normal, 0 reversed), -1 either. thread: 1 the size is a
-- metric thread, 0 a diameter. endthread: the thread of the part's end that
-- screws into the counted hole ('' none), shown after the size and length.
-- length: what the part spans ('' no length). A part with a length and a
-- rounding series is screwed in: it reaches at least engage and at most
-- reach into its thread ('' the thread of the tapped hole it is counted on,
-- as HOLE_FORM gives it; none for a plain hole), and is ordered in the
-- longest length of the series that does so, else the longest multiple of
-- 5 mm, else of 1 mm. Without a series the ordered length is length + engage.
CREATE TABLE BOM_STANDARD_PART (
  sortorder  INTEGER NOT NULL,
  proc_name  TEXT NOT NULL,
  platename  TEXT NOT NULL,
  model      TEXT NOT NULL,
  installway INTEGER NOT NULL,
  partname   TEXT NOT NULL,
  thread     INTEGER NOT NULL,
  size       TEXT NOT NULL,
  endthread  TEXT NOT NULL,
  length     TEXT NOT NULL,
  engage     TEXT NOT NULL,
  reach      TEXT NOT NULL,
  rounding   TEXT NOT NULL,
  counting   TEXT NOT NULL,
  material   TEXT NOT NULL
);

-- Preferred lengths, shortest first, per series; past the longest a length is
-- rounded up in the series' last step.
CREATE TABLE BOM_LENGTH_SERIES (
  series TEXT NOT NULL,
  length REAL NOT NULL
);

-- The heights and strokes listed under the parts, in sortorder; note is shown
-- after the formula; model: the styles the figure is for, comma separated (''
-- every style). A figure's formula may name the code's part sizes too.
CREATE TABLE BOM_STACK_FIGURE (
  sortorder INTEGER NOT NULL,
  name      TEXT NOT NULL UNIQUE,
  formula   TEXT NOT NULL,
  note      TEXT NOT NULL,
  model     TEXT NOT NULL
);

-- The machining holes of the machining tables, one row per mould code,
-- process, plate and hole size, so the order list reads a base's holes in a
-- few dozen rows of one statement. The drawing's statement folds a plate's
-- parameter rows (X值, Y值, 直径) into steps and a hole's steps (its hole
-- number gg_c) into one hole centred on its smallest step; here dmin and dmax
-- are the holes' smallest and largest step, nominal the smallest rounded, as
-- the hole's block file is named; holes lists them as "gg_c:x,y" joined by
-- ";". blockstem is the plan view block that draws them ("GP" of "GP-A1"),
-- reversedstem the one drawn for reversed guide pillars (the same where the
-- process has none of its own); their HOLE_FORM rows say how the holes are
-- machined. Made once the machining tables and block names are written.
CREATE TABLE BOM_HOLE_SET AS
WITH step AS (
  SELECT d.model_id, d.style, d.model, d.plate_name, p.proc_id, p.proc_name, d.g_c, d.gg_c,
         max(CASE WHEN pd.para_name = 'X值' THEN d.para_val ELSE -9990 END) AS x,
         max(CASE WHEN pd.para_name = 'Y值' THEN d.para_val ELSE -9990 END) AS y,
         max(CASE WHEN pd.para_name = '直径' THEN d.para_val ELSE 0 END) AS diameter
  FROM base_plate_proc_detail d
  JOIN base_proc_detail pd ON d.para_id = pd.para_id
  JOIN base_proc p ON pd.proc_id = p.proc_id
  WHERE d.itemType = 1 AND pd.para_name IN ('X值', 'Y值', '直径')
  GROUP BY d.model_id, d.style, d.model, p.proc_id, p.proc_name, d.g_c, d.gg_c, d.plate_name),
centred AS (
  SELECT *, first_value(x) OVER hole AS hx, first_value(y) OVER hole AS hy
  FROM step
  WINDOW hole AS (PARTITION BY model_id, style, model, proc_id, proc_name, gg_c, plate_name
                  ORDER BY diameter, g_c)),
hole AS (
  SELECT model_id, style, model, plate_name, proc_id, proc_name, gg_c, min(hx) AS x, min(hy) AS y,
         min(diameter) AS dmin, max(diameter) AS dmax
  FROM centred
  GROUP BY model_id, style, model, proc_id, proc_name, gg_c, plate_name),
holeset AS (
  SELECT model_id, style, model, plate_name, proc_id, proc_name, dmin, dmax,
         CAST(round(dmin) AS INTEGER) AS nominal, group_concat(gg_c || ':' || x || ',' || y, ';') AS holes
  FROM (SELECT * FROM hole ORDER BY gg_c)
  GROUP BY model_id, style, model, proc_id, proc_name, plate_name, dmin, dmax),
block AS (
  SELECT PLATENAME, ITEMTYPENAME, INSTALLWAY, substr(blockname, 1, length(blockname) - 3) AS stem
  FROM STANDITEMBLOCKSETUP WHERE FACEDIR = 'A1' AND blockname LIKE '%-A1')
SELECT h.*, b1.stem AS blockstem, coalesce(b0.stem, b1.stem) AS reversedstem
FROM holeset h
LEFT JOIN block b1 ON b1.PLATENAME = h.plate_name AND b1.ITEMTYPENAME = h.proc_name AND b1.INSTALLWAY = 1
LEFT JOIN block b0 ON b0.PLATENAME = h.plate_name AND b0.ITEMTYPENAME = h.proc_name AND b0.INSTALLWAY = 0;
CREATE INDEX BOM_HOLE_SET_MODEL ON BOM_HOLE_SET (model_id, proc_id, proc_name, plate_name);
-- How the holes of a base are machined, read from the index alone: the order
-- list looks up a few dozen forms at once.
CREATE INDEX BOM_HOLE_FORM_COVERING ON HOLE_FORM
  (blockstem, diameter, thickness, kind, face, bore, threaded, tapdrill, through, depth, drilldepth, cbdia, cbdepth);
