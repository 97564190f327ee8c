#include "core/Database.h"
#include "core/schema/Schema.h"

// Running figures the database keeps itself, so that the stock documents need not add up ten
// years of cutting each time:
// - CutByMaterial: the feet of dated cut sheets per material of the order line they were cut on,
//   as the documents join them (a line twice, twice), with the feet of cut sheets whose line names
//   no material, or that have no line, under ''. In ten-thousandths of a foot, whole numbers, so
//   adding and taking away never drifts. A cut sheet without a day counts nowhere, as in the
//   documents, which count one from its day.
// - CutByLine: per order line, the sets ordered less the sets cut, kept only while not nought.
// Triggers on Cutsheets and OrderItem keep them, whichever program or window writes; they are
// derived rows, so copies of a shop carry the shop's own rows and the target's triggers build
// them again.
namespace schema {

namespace {

const char *const kFileBucket = "INSERT OR IGNORE INTO CutByMaterial (MaterialID, Feet) VALUES ('', 0);\n";

const char *opposite(const char *sign)
{
    return *sign == '+' ? "-" : "+";
}

// The sets left on the line at R's order and `item`, changed by `op` `sets`; nought is not kept.
QString fileSetsLeft(const char *r, const char *item, const char *op, const QString &sets)
{
    return QStringLiteral(
               "INSERT OR IGNORE INTO CutByLine (OrderID, ItemNumber, SetsLeft) SELECT %1.OrderID, "
               "%1.%2, 0 WHERE %1.OrderID IS NOT NULL AND %1.%2 IS NOT NULL;\n"
               "UPDATE CutByLine SET SetsLeft = SetsLeft %3 COALESCE(%4, 0) "
               "WHERE OrderID = %1.OrderID AND ItemNumber = %1.%2;\n"
               "DELETE FROM CutByLine WHERE OrderID = %1.OrderID AND ItemNumber = %1.%2 AND "
               "SetsLeft = 0;\n")
        .arg(QLatin1String(r), QLatin1String(item), QLatin1String(op), sets);
}

// A cut sheet row R counted with `sign` ("+" or "-"): its feet go to the material of every line
// at its order and item, or to '' when there is none; its sets off its line.
QString fileCut(const char *r, const char *sign)
{
    return QString::fromLatin1(kFileBucket) +
           QStringLiteral(
               "INSERT OR IGNORE INTO CutByMaterial (MaterialID, Feet) SELECT COALESCE(MaterialID, ''), 0 "
               "FROM OrderItem WHERE OrderID = %1.OrderID AND ItemNumber = %1.Item;\n"
               "UPDATE CutByMaterial SET Feet = Feet %2 %3 * (SELECT COUNT(*) FROM OrderItem WHERE OrderID = "
               "%1.OrderID AND ItemNumber = %1.Item AND COALESCE(MaterialID, '') = CutByMaterial.MaterialID) "
               "WHERE MaterialID IN (SELECT COALESCE(MaterialID, '') FROM OrderItem WHERE OrderID = "
               "%1.OrderID AND ItemNumber = %1.Item);\n"
               "UPDATE CutByMaterial SET Feet = Feet %2 %3 WHERE MaterialID = '' AND NOT EXISTS "
               "(SELECT 1 FROM OrderItem WHERE OrderID = %1.OrderID AND ItemNumber = %1.Item);\n")
               .arg(QLatin1String(r), QLatin1String(sign),
                    QStringLiteral("COALESCE(%1, 0)")
                        .arg(tenThousandths(
                            QStringLiteral("(CASE WHEN %1.Date IS NULL THEN NULL ELSE %1.Feet END)")
                                .arg(QLatin1String(r)),
                            false))) +
           fileSetsLeft(r, "Item", opposite(sign), QStringLiteral("%1.Sets").arg(QLatin1String(r)));
}

// An order line row R counted with `sign`, after the change: the feet already cut at its order
// and item go to its material, and come off '' (or back to it) when `bucketWhen` holds of the
// number of lines there now; its sets ordered onto the line's figure.
QString fileLine(const char *r, const char *sign, const QString &bucketWhen)
{
    return QString::fromLatin1(kFileBucket) +
           QStringLiteral(
               "INSERT OR IGNORE INTO CutByMaterial (MaterialID, Feet) SELECT COALESCE(%1.MaterialID, ''), "
               "0;\n"
               "UPDATE CutByMaterial SET Feet = Feet %2 %3 WHERE MaterialID = COALESCE(%1.MaterialID, '');\n"
               "UPDATE CutByMaterial SET Feet = Feet %4 %3 WHERE MaterialID = '' AND (SELECT COUNT(*) FROM "
               "OrderItem WHERE OrderID = %1.OrderID AND ItemNumber = %1.ItemNumber) %5;\n")
               .arg(QLatin1String(r), QLatin1String(sign),
                    QStringLiteral(
                        "(SELECT COALESCE(SUM(%1), 0) FROM Cutsheets WHERE OrderID = %2.OrderID AND "
                        "Item = %2.ItemNumber AND Date IS NOT NULL)")
                        .arg(tenThousandths(QStringLiteral("Feet"), false), QLatin1String(r)),
                    QLatin1String(opposite(sign)), bucketWhen) +
           fileSetsLeft(r, "ItemNumber", sign, QStringLiteral("%1.Qty").arg(QLatin1String(r)));
}

QString fileFigures()
{
    QString sql = QStringLiteral(
        "CREATE TABLE CutByMaterial (MaterialID TEXT COLLATE NOCASE PRIMARY KEY, Feet INTEGER NOT NULL);\n"
        "CREATE TABLE CutByLine (OrderID INTEGER NOT NULL, ItemNumber INTEGER NOT NULL, "
        "SetsLeft INTEGER NOT NULL, PRIMARY KEY (OrderID, ItemNumber));\n");
    const auto trigger = [&sql](const char *name, const char *event, const char *table, const QString &body) {
        sql += QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3 BEGIN\n%4END;\n")
                   .arg(QLatin1String(name), QLatin1String(event), QLatin1String(table), body);
    };
    // A line added is the only one at its order and item when one is there now; one removed was
    // the last when none is. A line changed in place leaves '' as it was.
    const QString added = QStringLiteral("= 1");
    const QString removed = QStringLiteral("= 0");
    trigger("CutsheetAdded", "INSERT", "Cutsheets", fileCut("NEW", "+"));
    trigger("CutsheetRemoved", "DELETE", "Cutsheets", fileCut("OLD", "-"));
    trigger("CutsheetChanged", "UPDATE OF Date, OrderID, Item, Sets, Feet", "Cutsheets",
            fileCut("OLD", "-") + fileCut("NEW", "+"));
    trigger("OrderLineAdded", "INSERT", "OrderItem", fileLine("NEW", "+", added));
    trigger("OrderLineRemoved", "DELETE", "OrderItem", fileLine("OLD", "-", removed));
    trigger("OrderLineChanged", "UPDATE OF OrderID, ItemNumber, Qty, MaterialID", "OrderItem",
            fileLine("OLD", "-", removed) +
                fileLine("NEW", "+",
                         added + QStringLiteral(" AND NOT (NEW.OrderID IS OLD.OrderID AND NEW.ItemNumber IS "
                                                "OLD.ItemNumber)")));
    return sql;
}

// On the server the triggers run as the owner who made them, so a clerk's own login needs no
// rights on the figures to save a cut sheet; whoever may read the cut sheets is let read the
// figures. Every change of the figures first takes one lock for the rest of its
// transaction: a cut sheet saved while its line's material is changed elsewhere then counts
// against the material the line has when it is its turn, as on the file, where one writer at a
// time is the rule anyway. Upserts keep concurrent additions to one row whole.
QString serverFigures()
{
    const QString feet = tenThousandths(QStringLiteral("f"), true);
    const QString cutFeet = tenThousandths(QStringLiteral("Feet"), true);
    return QStringLiteral(
               R"(CREATE TABLE CutByMaterial (MaterialID CITEXT COLLATE "C" PRIMARY KEY, Feet BIGINT NOT NULL);
CREATE TABLE CutByLine (OrderID INTEGER NOT NULL, ItemNumber INTEGER NOT NULL, SetsLeft BIGINT NOT NULL,
  PRIMARY KEY (OrderID, ItemNumber));
CREATE OR REPLACE FUNCTION CountCut(o BIGINT, i BIGINT, f DOUBLE PRECISION, n BIGINT, s INTEGER) RETURNS void
LANGUAGE sql AS $$
  SELECT pg_advisory_xact_lock(7215498302);
  INSERT INTO CutByMaterial (MaterialID, Feet)
    SELECT COALESCE(MaterialID, ''), s * COUNT(*) * COALESCE(%1, 0) FROM OrderItem
    WHERE OrderID = o AND ItemNumber = i GROUP BY COALESCE(MaterialID, '')
  ON CONFLICT (MaterialID) DO UPDATE SET Feet = CutByMaterial.Feet + EXCLUDED.Feet;
  INSERT INTO CutByMaterial (MaterialID, Feet)
    SELECT '', s * COALESCE(%1, 0) WHERE NOT EXISTS (SELECT 1 FROM OrderItem WHERE OrderID = o AND ItemNumber = i)
  ON CONFLICT (MaterialID) DO UPDATE SET Feet = CutByMaterial.Feet + EXCLUDED.Feet;
  INSERT INTO CutByLine (OrderID, ItemNumber, SetsLeft) SELECT o, i, -s * COALESCE(n, 0)
    WHERE o IS NOT NULL AND i IS NOT NULL
  ON CONFLICT (OrderID, ItemNumber) DO UPDATE SET SetsLeft = CutByLine.SetsLeft + EXCLUDED.SetsLeft;
  DELETE FROM CutByLine WHERE OrderID = o AND ItemNumber = i AND SetsLeft = 0;
$$;
CREATE OR REPLACE FUNCTION CountLine(o BIGINT, i BIGINT, m CITEXT, q BIGINT, s INTEGER, bucketWhen INTEGER)
RETURNS void LANGUAGE sql AS $$
  SELECT pg_advisory_xact_lock(7215498302);
  INSERT INTO CutByMaterial (MaterialID, Feet)
    SELECT COALESCE(m, ''), s * COALESCE(SUM(%2), 0) FROM Cutsheets WHERE OrderID = o AND Item = i AND Date IS NOT NULL
  ON CONFLICT (MaterialID) DO UPDATE SET Feet = CutByMaterial.Feet + EXCLUDED.Feet;
  INSERT INTO CutByMaterial (MaterialID, Feet)
    SELECT '', -s * COALESCE(SUM(%2), 0) FROM Cutsheets WHERE OrderID = o AND Item = i AND Date IS NOT NULL
    HAVING (SELECT COUNT(*) FROM OrderItem WHERE OrderID = o AND ItemNumber = i) = bucketWhen
  ON CONFLICT (MaterialID) DO UPDATE SET Feet = CutByMaterial.Feet + EXCLUDED.Feet;
  INSERT INTO CutByLine (OrderID, ItemNumber, SetsLeft) SELECT o, i, s * COALESCE(q, 0)
    WHERE o IS NOT NULL AND i IS NOT NULL
  ON CONFLICT (OrderID, ItemNumber) DO UPDATE SET SetsLeft = CutByLine.SetsLeft + EXCLUDED.SetsLeft;
  DELETE FROM CutByLine WHERE OrderID = o AND ItemNumber = i AND SetsLeft = 0;
$$;
CREATE OR REPLACE FUNCTION CutsheetMoved() RETURNS trigger LANGUAGE plpgsql
SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
  IF TG_OP <> 'INSERT' THEN
    PERFORM CountCut(OLD.OrderID, OLD.Item, CASE WHEN OLD.Date IS NULL THEN NULL ELSE OLD.Feet END, OLD.Sets, -1);
  END IF;
  IF TG_OP <> 'DELETE' THEN
    PERFORM CountCut(NEW.OrderID, NEW.Item, CASE WHEN NEW.Date IS NULL THEN NULL ELSE NEW.Feet END, NEW.Sets, 1);
  END IF;
  RETURN NULL;
END $$;
CREATE OR REPLACE FUNCTION OrderLineMoved() RETURNS trigger LANGUAGE plpgsql
SECURITY DEFINER SET search_path FROM CURRENT AS $$
BEGIN
  -- A line added is the only one at its order and item when one is there now; one removed was
  -- the last when none is. A line changed in place leaves '' as it was.
  IF TG_OP <> 'INSERT' THEN
    PERFORM CountLine(OLD.OrderID, OLD.ItemNumber, OLD.MaterialID, OLD.Qty, -1, 0);
  END IF;
  IF TG_OP = 'INSERT' THEN
    PERFORM CountLine(NEW.OrderID, NEW.ItemNumber, NEW.MaterialID, NEW.Qty, 1, 1);
  ELSIF TG_OP = 'UPDATE' THEN
    PERFORM CountLine(NEW.OrderID, NEW.ItemNumber, NEW.MaterialID, NEW.Qty, 1,
      CASE WHEN OLD.OrderID IS DISTINCT FROM NEW.OrderID OR OLD.ItemNumber IS DISTINCT FROM NEW.ItemNumber
           THEN 1 ELSE -1 END);
  END IF;
  RETURN NULL;
END $$;
CREATE TRIGGER CutsheetMoved AFTER INSERT OR DELETE OR UPDATE OF Date, OrderID, Item, Sets, Feet ON Cutsheets
  FOR EACH ROW EXECUTE FUNCTION CutsheetMoved();
CREATE TRIGGER OrderLineMoved AFTER INSERT OR DELETE OR UPDATE OF OrderID, ItemNumber, Qty, MaterialID ON OrderItem
  FOR EACH ROW EXECUTE FUNCTION OrderLineMoved();
)")
        .arg(feet, cutFeet);
}

} // namespace

QString cutPerMaterial(const QString &feet, const QString &where)
{
    // Grouped by the line's material first, so that materials are told apart as the schema does
    // (without regard to case), then a line without a material and a cut sheet without a line
    // together under ''.
    return QStringLiteral(
               "SELECT COALESCE(Material, '') AS Material, SUM(Feet) AS Feet FROM "
               "(SELECT OrderItem.MaterialID AS Material, SUM(%1) AS Feet FROM Cutsheets LEFT JOIN "
               "OrderItem ON Cutsheets.OrderID = OrderItem.OrderID AND Cutsheets.Item = "
               "OrderItem.ItemNumber WHERE %2 GROUP BY OrderItem.MaterialID) g "
               "GROUP BY COALESCE(Material, '')")
        .arg(feet, where);
}

QString tenThousandths(const QString &feet, bool server)
{
    // Half away from zero on both engines; the server rounds a double to even, a numeric not.
    if (server)
        return QStringLiteral("CAST(ROUND(CAST(%1 AS NUMERIC) * 10000) AS BIGINT)").arg(feet);
    return QStringLiteral("CAST(ROUND(%1 * 10000) AS INTEGER)").arg(feet);
}

QString figuresDdl(bool server)
{
    return server ? serverFigures() : fileFigures();
}

bool hasCutFigures(Database &db)
{
    return db.tableExists(QStringLiteral("CutByMaterial"));
}

bool addCutFigures(Database &db)
{
    if (hasCutFigures(db))
        return false;
    Transaction tx(db);
    // The triggers come first: on the server they hold off other writers of the two tables
    // until this commits, so the counts below miss nothing.
    db.execScript(figuresDdl(db.isServer()));
    db.exec(QStringLiteral("INSERT INTO CutByMaterial (MaterialID, Feet) %1")
                .arg(cutPerMaterial(QStringLiteral("COALESCE(%1, 0)")
                                        .arg(tenThousandths(QStringLiteral("Cutsheets.Feet"), db.isServer())),
                                    QStringLiteral("Cutsheets.Date IS NOT NULL"))));
    db.exec(QStringLiteral("INSERT INTO CutByMaterial (MaterialID, Feet) SELECT '', 0 WHERE NOT EXISTS "
                           "(SELECT 1 FROM CutByMaterial WHERE MaterialID = '')"));
    if (db.isServer())
        db.execScript(QStringLiteral(
            "DO $$ DECLARE r record; BEGIN FOR r IN SELECT DISTINCT grantee FROM "
            "information_schema.role_table_grants WHERE table_schema = current_schema() AND table_name = "
            "'cutsheets' AND privilege_type = 'SELECT' AND grantee <> current_user LOOP "
            "EXECUTE format('GRANT SELECT ON CutByMaterial, CutByLine TO %I', r.grantee); END LOOP; END $$"));
    db.exec(QStringLiteral(
        "INSERT INTO CutByLine (OrderID, ItemNumber, SetsLeft) SELECT OrderID, ItemNumber, SUM(n) FROM "
        "(SELECT OrderID, ItemNumber, COALESCE(Qty, 0) AS n FROM OrderItem WHERE OrderID IS NOT NULL "
        "AND ItemNumber IS NOT NULL UNION ALL SELECT OrderID, Item, -COALESCE(Sets, 0) FROM Cutsheets "
        "WHERE OrderID IS NOT NULL AND Item IS NOT NULL) m GROUP BY OrderID, ItemNumber HAVING SUM(n) <> 0"));
    tx.commit();
    return true;
}

void countCutFiguresAfter(Database &db, const std::function<void()> &bulk)
{
    Transaction tx(db);
    const bool figures = hasCutFigures(db);
    if (figures)
        dropCutFigures(db);
    bulk();
    if (figures)
        addCutFigures(db);
    tx.commit();
}

void dropCutFigures(Database &db)
{
    Transaction tx(db);
    if (db.isServer()) {
        db.execScript(
            QStringLiteral("DROP TRIGGER IF EXISTS CutsheetMoved ON Cutsheets;\n"
                           "DROP TRIGGER IF EXISTS OrderLineMoved ON OrderItem;\n"
                           "DROP FUNCTION IF EXISTS CutsheetMoved, OrderLineMoved, CountCut, CountLine;\n"));
    } else {
        for (const char *name : {"CutsheetAdded", "CutsheetRemoved", "CutsheetChanged", "OrderLineAdded",
                                 "OrderLineRemoved", "OrderLineChanged"})
            db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(name)));
    }
    db.exec(QStringLiteral("DROP TABLE IF EXISTS CutByMaterial"));
    db.exec(QStringLiteral("DROP TABLE IF EXISTS CutByLine"));
    tx.commit();
}

} // namespace schema
