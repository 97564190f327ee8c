#include "DemoData.h"

#include "core/Database.h"
#include "core/Money.h"
#include "core/schema/Schema.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <tuple>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Name lists

const char *const kCustomerNames[] = {
    "Quintar Furniture Mfg.",   "Bellweather Upholstery",     "Ridgeline Auto Trim",
    "Carver & Sons Furniture",  "Lakeshore Marine Interiors", "Heritage Seating Co.",
    "Main Street Upholstery",   "Prairie Custom Trim",        "Whitfield Furniture Works",
    "Kessler Auto Interiors",   "Oak Hollow Furniture",       "Dunmore Seating",
    "Blue Ridge Upholstery",    "Summit Coach Works",         "Millbrook Home Furnishings",
    "Granite State Trim Shop",  "Harbor Yacht Interiors",     "Westfield Chair Co.",
    "Pioneer Restoration Trim", "Sterling Motor Trim",
};
const char *const kNamePrefixes[] = {
    "Ashford",   "Brookside", "Cedar Creek", "Delmar",      "Eastgate",   "Fairview",  "Glenwood",
    "Hillcrest", "Ironwood",  "Jasper",      "Kingsport",   "Linden",     "Maplewood", "Northfield",
    "Oakmont",   "Parkside",  "Redstone",    "Silver Lake", "Timberline", "Valley",
};
const char *const kNameSuffixes[] = {"Upholstery", "Auto Trim",   "Furniture", "Seating",
                                     "Interiors",  "Custom Trim", "Chair Co.", "Furniture Works"};

struct City
{
    const char *name, *state, *zip, *area;
};
const City kCities[] = {
    {"Grand Rapids", "MI", "495", "616"}, {"High Point", "NC", "272", "336"},
    {"Dayton", "OH", "454", "937"},       {"Elkhart", "IN", "465", "574"},
    {"Tupelo", "MS", "388", "662"},       {"Hickory", "NC", "286", "828"},
    {"Sheboygan", "WI", "530", "920"},    {"Lancaster", "PA", "176", "717"},
    {"Fort Wayne", "IN", "468", "260"},   {"Knoxville", "TN", "379", "865"},
    {"Toledo", "OH", "436", "419"},       {"Peoria", "IL", "616", "309"},
    {"Springfield", "MO", "658", "417"},  {"Akron", "OH", "443", "330"},
};
const char *const kStreets[] = {"Main St",      "Industrial Pkwy", "Commerce Dr",  "Oak St",
                                "Elm Ave",      "Market St",       "Mill Rd",      "Factory St",
                                "Lakeview Dr",  "Enterprise Blvd", "Railroad Ave", "Maple Ave",
                                "County Rd 12", "Harbor Dr",       "Wabash Ave"};
const char *const kSuites[] = {"Suite 200", "Bldg 4", "Dock 3", "Unit B", "P.O. Box 118"};

struct Terms
{
    const char *text;
    int days;
};
const Terms kTerms[] = {{"Net 30", 30}, {"Net 30", 30}, {"2% 10 Net 30", 30}, {"Net 15", 15},
                        {"Net 45", 45}, {"Net 60", 60}, {"COD", 0},           {"Net 10", 10}};

const char *const kFirstNames[] = {"Maria",  "James",  "Luis",   "Karen",  "Tomas",   "Linda",
                                   "Dwayne", "Rosa",   "Hector", "Brenda", "Nguyen",  "Ellen",
                                   "Marcus", "Teresa", "Gary",   "Ana",    "Victor",  "Denise",
                                   "Ramon",  "Cheryl", "Tyrone", "Irene",  "Stanley", "Lupe"};
const char *const kLastNames[] = {"Alvarez",   "Becker",   "Castillo", "Dombrowski", "Evans",
                                  "Flores",    "Garza",    "Hoffman",  "Ibarra",     "Jankowski",
                                  "Kowalski",  "Lopez",    "Mendoza",  "Novak",      "Ortega",
                                  "Pruitt",    "Quinones", "Ramirez",  "Schultz",    "Tran",
                                  "Underwood", "Vargas",   "Whitaker", "Yoder",      "Zielinski"};

struct MaterialSeed
{
    const char *id, *description, *type;
    double costLo, costHi; // per foot (leather, vinyl) or each (kit)
};
const MaterialSeed kMaterials[] = {
    {"LTH-SAD", "Top grain leather, Saddle Brown", "Leather", 4.10, 5.20},
    {"LTH-ESP", "Top grain leather, Espresso", "Leather", 4.10, 5.20},
    {"LTH-OXB", "Full grain aniline, Oxblood", "Leather", 5.60, 6.90},
    {"LTH-BLK", "Top grain leather, Black Onyx", "Leather", 3.90, 4.80},
    {"LTH-BON", "Top grain leather, Bone", "Leather", 4.30, 5.40},
    {"LTH-COG", "Full grain aniline, Cognac", "Leather", 5.80, 6.90},
    {"LTH-CHS", "Top grain leather, Chestnut", "Leather", 4.10, 5.00},
    {"LTH-PEW", "Corrected grain, Pewter Grey", "Leather", 3.60, 4.40},
    {"LTH-NAV", "Top grain leather, Navy", "Leather", 4.40, 5.30},
    {"LTH-BUR", "Top grain leather, Burgundy", "Leather", 4.40, 5.30},
    {"LTH-TAN", "Harness leather, Tan", "Leather", 5.10, 6.20},
    {"LTH-IVY", "Nubuck, Ivory", "Leather", 6.00, 7.10},
    {"VNL-BLK", "Marine vinyl, Black", "Vinyl", 2.10, 2.80},
    {"VNL-WHT", "Marine vinyl, Bright White", "Vinyl", 2.20, 2.90},
    {"VNL-SND", "Marine vinyl, Sand", "Vinyl", 2.10, 2.80},
    {"VNL-RED", "Automotive vinyl, Cardinal Red", "Vinyl", 2.60, 3.40},
    {"VNL-GRY", "Automotive vinyl, Charcoal", "Vinyl", 2.50, 3.20},
    {"VNL-NVY", "Marine vinyl, Navy", "Vinyl", 2.20, 2.90},
    {"KIT-BTN", "Button and welt cord kit", "Kit", 7.50, 9.50},
    {"KIT-FOM", "Foam and batting kit", "Kit", 21.00, 28.00},
    {"KIT-HDW", "Recliner hardware kit", "Kit", 30.00, 36.00},
    {"KIT-ZIP", "Zipper and thread kit", "Kit", 4.50, 6.00},
};
// Kept on the books but no longer bought or used.
const char *const kRetiredMaterial = "LTH-IVY";

struct StyleSeed
{
    const char *type, *style;
    double feetLo, feetHi;
    int qtyLo, qtyHi;
};
const StyleSeed kStyles[] = {
    {"Set", "SOFA-3C", 55, 70, 1, 6},     {"Set", "SOFA-2C", 45, 55, 1, 6},
    {"Set", "LOVE-2C", 38, 46, 1, 6},     {"Set", "CHR-CLUB", 22, 28, 2, 12},
    {"Set", "CHR-WING", 24, 30, 1, 8},    {"Set", "CHR-DIN", 6, 9, 4, 24},
    {"Set", "OTT-SQ", 8, 12, 1, 10},      {"Set", "OTT-RND", 7, 10, 1, 10},
    {"Set", "RECL-1", 30, 38, 1, 8},      {"Set", "SECT-L", 85, 110, 1, 3},
    {"Set", "BENCH-48", 10, 14, 1, 8},    {"Set", "HDBD-Q", 18, 24, 1, 6},
    {"Set", "SEAT-BKT", 14, 18, 2, 12},   {"Set", "SEAT-BNCH", 26, 32, 1, 6},
    {"Set", "BOAT-CPT", 16, 20, 2, 10},   {"Hide", "HIDE-FULL", 48, 55, 2, 20},
    {"Hide", "HIDE-SIDE", 24, 28, 2, 20}, {"Hide", "HIDE-SPLIT", 30, 40, 2, 12},
    {"Vinyl", "VNL-ROLL", 10, 30, 5, 40}, {"Vinyl", "VNL-CUT", 5, 12, 5, 30},
    {"Kit", "KIT-SOFA", 1, 1, 2, 25},     {"Kit", "KIT-CHAIR", 1, 1, 2, 25},
    {"Kit", "KIT-OTT", 1, 1, 2, 25},      {"Kit", "KIT-RECL", 1, 1, 2, 20},
};

// ---------------------------------------------------------------------------------------------
// Deterministic random numbers: the engine is fixed by the standard, the mapping is our own, so
// one seed gives the same data with every standard library.

class Random
{
public:
    explicit Random(unsigned seed) : m_engine(seed) {}
    int between(int lo, int hi) { return hi <= lo ? lo : lo + int(m_engine() % unsigned(hi - lo + 1)); }
    double real(double lo, double hi) { return lo + (hi - lo) * (double(m_engine()) / 4294967296.0); }
    bool chance(double p) { return double(m_engine()) / 4294967296.0 < p; }
    template <typename T, size_t N> const T &pick(const T (&list)[N]) { return list[between(0, int(N) - 1)]; }
    // Index chosen with the given weights.
    int weighted(const std::vector<int> &weights)
    {
        int sum = 0;
        for (int w : weights)
            sum += w;
        int r = between(0, std::max(sum - 1, 0));
        for (size_t i = 0; i < weights.size(); ++i) {
            if (r < weights[i])
                return int(i);
            r -= weights[i];
        }
        return int(weights.size()) - 1;
    }

private:
    std::mt19937 m_engine;
};

Money cents(double value)
{
    return Money::fromDouble(value).rounded(2);
}

double halfFeet(double value)
{
    return std::round(value * 2.0) / 2.0;
}

QDate weekday(QDate d)
{
    while (d.dayOfWeek() > 5)
        d = d.addDays(1);
    return d;
}

QString usDate(const QDate &d)
{
    return QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}

QVariant money(const Money &m)
{
    return QVariant::fromValue(m);
}

// The buyer's usual vendor and addresses, kept in POSetup and copied onto each purchase order.
Fields purchaseOrderDefaults()
{
    return {{"Vendor1", QStringLiteral("Kingsley Tannery Inc.")},
            {"Vendor2", QStringLiteral("2200 Industrial Pkwy")},
            {"Vendor3", QStringLiteral("Sheboygan, WI 53081")},
            {"Terms", QStringLiteral("Net 30")},
            {"BillTo1", QStringLiteral("Hollister Cut & Sew, Inc.")},
            {"BillTo2", QStringLiteral("418 Factory St")},
            {"BillTo3", QStringLiteral("Elkhart, IN 46516")},
            {"ShipTo1", QStringLiteral("Hollister Cut & Sew, Inc.")},
            {"ShipTo2", QStringLiteral("418 Factory St, Dock 2")},
            {"ShipTo3", QStringLiteral("Elkhart, IN 46516")},
            {"Comment", QStringLiteral("Please reference our PO number on all packing lists.")}};
}

// ---------------------------------------------------------------------------------------------
// The plan, built in memory first so every table can be written in date order.

struct CustomerPlan
{
    QString name, terms, refPrefix, poPrefix;
    int days = 30;
    bool active = true;
    QDate joined;    // no orders before
    QDate lastOrder; // no orders after (inactive customers)
    int weight = 1;
    int poCounter = 0;
    std::vector<int> shipDays; // weekdays the customer's truck is loaded
    std::vector<int> sets;
    Fields shipTo; // the eight ship-to columns, as copied to orders
};

struct MaterialPlan
{
    QString id, type, description;
    double costLo = 0, costHi = 0;
    bool active = true;
};

struct SetPlan
{
    QString ref, type, style;
    int customer = 0, material = 0;
    double reqFeet = 0, prodStd = 0;
    Money total, oldTotal;
    QDate added, priceChanged, lastUse;
    bool active = true;
    int qtyLo = 1, qtyHi = 1;
};

struct EmployeePlan
{
    QString ssn;
    QDate hired, left; // left invalid while still working
};

struct LinePlan
{
    int set = 0, qty = 0;
    Money price;
    int shipped = 0;
};

struct OrderPlan
{
    QDate date, due;
    int customer = 0;
    QString number;
    std::vector<LinePlan> lines;
    bool isVoid = false;
    bool imported = false;
    int seq = 0;
    qint64 id = 0;
};

struct CutPlan
{
    QDate date;
    int order = 0, line = 0, sets = 0;
    QVariant feet; // null when the cutter left it empty
    QString ssn;   // empty: kit consumption of `shipment`
    int shipment = -1;
    int seq = 0;
};

struct ShipItemPlan
{
    int order = 0, line = 0, qty = 0;
};

struct ShipmentPlan
{
    QDate date;
    int customer = 0;
    std::vector<ShipItemPlan> items;
    qint64 id = 0;
};

struct InvoicePlan
{
    QDate date;
    int customer = 0;
    int shipment = -1; // -1: manual
    Money total;
    int seq = 0;
    qint64 id = 0;
};

struct PaymentPlan
{
    QDate date;
    int invoice = 0;
    Money amount;
    int seq = 0;
};

struct AdjustmentLine
{
    int material = 0;
    double qty = 0;
    Money price;
};

struct AdjustmentPlan
{
    QDate date;
    QString reason;
    std::vector<AdjustmentLine> lines;
    int seq = 0;
};

struct CrossRef
{
    QString part, description, color, rstring;
    Money cost;
};

struct ImportRun
{
    QDate date;
    std::vector<int> orders;
    QStringList log; // lines after the per-order lines
};

class Builder
{
public:
    Builder(Database &db, const DemoOptions &o)
        : m_db(db), m_size(std::max(o.size, 1)), m_today(o.today.isValid() ? o.today : Clock::today()),
          m_rng(o.seed)
    {
        m_start = m_today.addDays(-91 * m_size + 1);
        m_systemStart = m_start.addDays(-30);
    }

    void run()
    {
        makeMaterials();
        makeCustomers();
        makeEmployees();
        makeSets();
        makeOrders();
        makeImports();
        sortOrders();
        makeProduction();
        writeMasterData();
        writeOrders();
        writeShipments();
        writeCutsheets();
        makeInvoices();
        writeInvoicesAndPayments();
        makeAdjustments();
        writeAdjustments();
        writePurchasing();
    }

private:
    // ---- master data -------------------------------------------------------------------------

    QString street()
    {
        return QStringLiteral("%1 %2").arg(m_rng.between(100, 9899)).arg(QLatin1String(m_rng.pick(kStreets)));
    }
    QString phone(const City &c)
    {
        return QStringLiteral("(%1) %2-%3")
            .arg(QLatin1String(c.area))
            .arg(m_rng.between(200, 989))
            .arg(m_rng.between(0, 9999), 4, 10, QLatin1Char('0'));
    }
    QString zip(const City &c)
    {
        return QStringLiteral("%1%2")
            .arg(QLatin1String(c.zip))
            .arg(m_rng.between(1, 99), 2, 10, QLatin1Char('0'));
    }
    QString stamp(const QDate &d)
    {
        return isoDateTime(
            QDateTime(d, QTime(m_rng.between(8, 16), m_rng.between(0, 59), m_rng.between(0, 59))));
    }
    QDate inHistory(double from, double to)
    {
        const int days = m_start.daysTo(m_today);
        return m_start.addDays(m_rng.between(int(days * from), int(days * to)));
    }

    void makeMaterials()
    {
        for (const MaterialSeed &s : kMaterials) {
            MaterialPlan m;
            m.id = QLatin1String(s.id);
            m.type = QLatin1String(s.type);
            m.description = QLatin1String(s.description);
            m.costLo = s.costLo;
            m.costHi = s.costHi;
            m.active = m.id != QLatin1String(kRetiredMaterial);
            m_materials.push_back(m);
        }
    }

    void makeCustomers()
    {
        const int count = 7 + m_size;
        QSet<QString> used;
        for (int i = 0; i < count; ++i) {
            CustomerPlan c;
            if (i < int(std::size(kCustomerNames))) {
                c.name = QLatin1String(kCustomerNames[i]);
            } else {
                for (int k = i; c.name.isEmpty() || used.contains(c.name); ++k) {
                    c.name = QStringLiteral("%1 %2").arg(
                        QLatin1String(kNamePrefixes[k % std::size(kNamePrefixes)]),
                        QLatin1String(kNameSuffixes[(k / 7) % std::size(kNameSuffixes)]));
                    if (k >= i + 160) // every pairing taken: number them
                        c.name += QStringLiteral(" %1").arg(k);
                }
            }
            used.insert(c.name);
            QString initials;
            for (const QString &word : c.name.split(u' ', Qt::SkipEmptyParts))
                if (word.at(0).isLetter() && initials.size() < 2)
                    initials += word.at(0).toUpper();
            c.refPrefix = initials;
            static const char *const poStyles[] = {"PO-", "", "P", "WO-", "SO-"};
            c.poPrefix = i == 0 ? QStringLiteral("Q") : QLatin1String(poStyles[m_rng.between(0, 4)]);
            c.poCounter = m_rng.between(1000, 48000);
            const Terms &t = i == 0 ? kTerms[0] : m_rng.pick(kTerms);
            c.terms = QLatin1String(t.text);
            c.days = t.days;
            c.weight = i == 0 ? 5 : m_rng.between(1, 5);
            c.joined = i < 8 ? m_systemStart.addDays(-m_rng.between(0, 400)) : inHistory(0.05, 0.8);
            c.active = !(i == 6 || (i > 8 && m_rng.chance(0.08)));
            c.lastOrder = c.active
                              ? m_today
                              : std::max(c.joined, m_start).addDays(m_start.daysTo(m_today) * 2 / 5 + 20);
            static const int shipPatterns[][2] = {{2, 5}, {1, 4}, {3, 3}, {2, 4}, {1, 5}};
            const auto &p = shipPatterns[m_rng.between(0, 4)];
            c.shipDays = {p[0], p[1]};

            const City &city = m_rng.pick(kCities);
            Fields row = {{"Name", c.name},
                          {"Address1", street()},
                          {"Address2", m_rng.chance(0.3) ? QLatin1String(m_rng.pick(kSuites)) : QString()},
                          {"City", QLatin1String(city.name)},
                          {"State", QLatin1String(city.state)},
                          {"Zip", zip(city)},
                          {"Phone", phone(city)},
                          {"Fax", m_rng.chance(0.7) ? phone(city) : QString()}};
            if (m_rng.chance(0.6)) {
                c.shipTo = {{"ShipTo", c.name},
                            {"ShipToAddress1", row[1].second},
                            {"ShipToAddress2", row[2].second},
                            {"ShipToCity", row[3].second},
                            {"ShipToState", row[4].second},
                            {"ShipToZip", row[5].second},
                            {"ShipToPhone", row[6].second},
                            {"ShipToFax", row[7].second}};
            } else {
                const City &dock = m_rng.chance(0.5) ? city : m_rng.pick(kCities);
                c.shipTo = {{"ShipTo", c.name + QStringLiteral(" - Receiving")},
                            {"ShipToAddress1", street()},
                            {"ShipToAddress2", QStringLiteral("Dock %1").arg(m_rng.between(1, 9))},
                            {"ShipToCity", QLatin1String(dock.name)},
                            {"ShipToState", QLatin1String(dock.state)},
                            {"ShipToZip", zip(dock)},
                            {"ShipToPhone", phone(dock)},
                            {"ShipToFax", QString()}};
            }
            row.insert(row.end(), c.shipTo.begin(), c.shipTo.end());
            row.push_back({"Status", c.active ? QStringLiteral("Active") : QStringLiteral("InActive")});
            row.push_back({"Terms", c.terms});
            row.push_back({"Days", c.days});
            // Customers of long standing were keyed in during the first weeks of the system.
            row.push_back(
                {"DateAdded",
                 stamp(c.joined > m_systemStart ? c.joined : m_systemStart.addDays(m_rng.between(0, 20)))});
            m_customerRows.push_back(row);
            m_customers.push_back(c);
        }
    }

    void makeEmployees()
    {
        const int count = 6 + (m_size - 1) / 3;
        QSet<QString> used;
        const int span = m_start.daysTo(m_today);
        for (int i = 0; i < count; ++i) {
            EmployeePlan e;
            do {
                e.ssn = QStringLiteral("%1-%2-%3")
                            .arg(m_rng.between(101, 699), 3, 10, QLatin1Char('0'))
                            .arg(m_rng.between(1, 99), 2, 10, QLatin1Char('0'))
                            .arg(m_rng.between(1, 9999), 4, 10, QLatin1Char('0'));
            } while (used.contains(e.ssn));
            used.insert(e.ssn);
            // Two cutters joined during the period, one left half way; the rest were always there.
            if (i == count - 1)
                e.hired = m_start.addDays(span * 2 / 5);
            else
                e.hired = m_systemStart.addDays(-m_rng.between(200, 5000));
            if (i == count - 2)
                e.left = m_start.addDays(span / 2);
            const City &city = kCities[m_rng.between(0, 3)];
            m_employeeRows.push_back(
                {{"SSN", e.ssn},
                 {"FirstName", QLatin1String(m_rng.pick(kFirstNames))},
                 {"LastName", QLatin1String(m_rng.pick(kLastNames))},
                 {"Address", street()},
                 {"City", QLatin1String(city.name)},
                 {"State", QLatin1String(city.state)},
                 {"Zip", zip(city)},
                 {"Phone", phone(city)},
                 {"Status", e.left.isValid() ? QStringLiteral("InActive") : QStringLiteral("Active")},
                 {"HireDate", e.hired},
                 {"DateAdded", stamp(std::max(e.hired, m_systemStart))}});
            m_employees.push_back(e);
        }
    }

    int materialOfType(const QString &type)
    {
        std::vector<int> candidates;
        for (size_t i = 0; i < m_materials.size(); ++i)
            if (m_materials[i].type == type && m_materials[i].active)
                candidates.push_back(int(i));
        return candidates[size_t(m_rng.between(0, int(candidates.size()) - 1))];
    }

    // Recliner kits are hardware, ottoman kits buttons and welt, the rest foam or zippers.
    int kitMaterial(const QString &style)
    {
        const QString id = style == QLatin1String("KIT-RECL")  ? QStringLiteral("KIT-HDW")
                           : style == QLatin1String("KIT-OTT") ? QStringLiteral("KIT-BTN")
                           : m_rng.chance(0.7)                 ? QStringLiteral("KIT-FOM")
                                                               : QStringLiteral("KIT-ZIP");
        for (size_t i = 0; i < m_materials.size(); ++i)
            if (m_materials[i].id == id)
                return int(i);
        return materialOfType(QStringLiteral("Kit"));
    }

    void makeSets()
    {
        const int count = 40 + 10 * (m_size - 1);
        std::vector<int> weights;
        for (const CustomerPlan &c : m_customers)
            weights.push_back(c.weight + 1);
        const double span = m_start.daysTo(m_today);
        for (int i = 0; i < count; ++i) {
            SetPlan s;
            // Every customer gets three sets first, the rest follow the customers' weights.
            s.customer =
                i < 3 * int(m_customers.size()) ? i % int(m_customers.size()) : m_rng.weighted(weights);
            const CustomerPlan &c = m_customers[size_t(s.customer)];
            // The first two sets of every customer are upholstery sets, the third a hide, a
            // length of vinyl or a kit in turn.
            const int round = i / int(m_customers.size());
            const int firstOf[] = {15, 18, 20, 24}; // Hide, Vinyl, Kit styles in kStyles
            const int kind = s.customer % 3;
            const StyleSeed &st = round < 2    ? kStyles[m_rng.between(0, 14)]
                                  : round == 2 ? kStyles[m_rng.between(firstOf[kind], firstOf[kind + 1] - 1)]
                                               : m_rng.pick(kStyles);
            s.type = QLatin1String(st.type);
            s.style = QLatin1String(st.style);
            s.qtyLo = st.qtyLo;
            s.qtyHi = st.qtyHi;
            s.ref = QStringLiteral("%1-%2").arg(c.refPrefix).arg(10100 + 7 * i + m_rng.between(0, 6));
            const bool marine = c.name.contains(QLatin1String("Marine")) ||
                                c.name.contains(QLatin1String("Yacht")) ||
                                c.name.contains(QLatin1String("Trim"));
            if (s.type == QLatin1String("Kit"))
                s.material = kitMaterial(s.style);
            else if (s.type == QLatin1String("Vinyl") ||
                     (s.type == QLatin1String("Set") && m_rng.chance(marine ? 0.6 : 0.12)))
                s.material = materialOfType(QStringLiteral("Vinyl"));
            else
                s.material = materialOfType(QStringLiteral("Leather"));
            const MaterialPlan &m = m_materials[size_t(s.material)];
            const double cost = (m.costLo + m.costHi) / 2;
            s.reqFeet = st.feetLo == st.feetHi ? st.feetLo : halfFeet(m_rng.real(st.feetLo, st.feetHi));
            s.prodStd = st.feetLo == st.feetHi ? st.feetLo : halfFeet(s.reqFeet * m_rng.real(0.92, 1.0));
            Money cut, sew, vinyl, leather, kit, rate;
            if (s.type == QLatin1String("Set")) {
                cut = cents(s.reqFeet * m_rng.real(0.35, 0.5));
                if (m_rng.chance(0.08))
                    cut += Money::fromUnits(50); // a piece rate kept to the tenth of a cent
                sew = cents(25 + s.reqFeet * m_rng.real(1.2, 1.8));
                (m.type == QLatin1String("Vinyl") ? vinyl : leather) = cents(s.reqFeet * cost * 1.25);
                if (m_rng.chance(0.3))
                    kit = cents(m_rng.real(6, 18));
                rate = cents(s.reqFeet * m_rng.real(0.18, 0.25));
            } else if (s.type == QLatin1String("Hide")) {
                cut = cents(m_rng.real(3, 8));
                leather = cents(s.reqFeet * cost * 1.3);
                rate = cents(m_rng.real(1.5, 3));
            } else if (s.type == QLatin1String("Vinyl")) {
                cut = cents(m_rng.real(1.5, 4));
                vinyl = cents(s.reqFeet * cost * 1.3);
                rate = cents(m_rng.real(0.75, 2));
            } else {
                kit = cents(cost * 1.4 + m_rng.real(5, 20));
            }
            s.total = cut + sew + vinyl + leather + kit;
            const bool first = i < 3 * int(m_customers.size());
            s.added = !first && (c.joined > m_start || m_rng.chance(0.2))
                          ? std::max(c.joined, m_start.addDays(int(span * m_rng.real(0, 0.8))))
                          : std::max(c.joined, m_systemStart);
            s.active = c.active && !m_rng.chance(0.06);
            s.lastUse = s.active ? m_today : s.added.addDays(int(span * 0.6) + 10);
            // A few prices were raised from an order line: the raise went into the leather price.
            Money raise;
            if (s.active && (i % 12 == 5) && s.type != QLatin1String("Kit")) {
                s.priceChanged =
                    weekday(std::max(s.added, m_start).addDays(m_rng.between(5, std::max(6, int(span) - 5))));
                if (s.priceChanged > m_today)
                    s.priceChanged = m_today;
                raise = Money::fromUnits(m_rng.between(1, 16) * 5000);
                leather += raise;
                s.total += raise;
            }
            s.oldTotal = s.total - raise;
            m_setRows.push_back({{"CustomerRefNo", s.ref},
                                 {"Customer", c.name},
                                 {"Type", s.type},
                                 {"Style", s.style},
                                 {"Material", m.id},
                                 {"ReqFeet", s.reqFeet},
                                 {"ProductionStandard", s.prodStd},
                                 {"EmployeeRate", money(rate)},
                                 {"CuttingPrice", money(cut)},
                                 {"SewingPrice", money(sew)},
                                 {"VinylPrice", money(vinyl)},
                                 {"LeatherPrice", money(leather)},
                                 {"KitPrice", money(kit)},
                                 {"TotalPrice", money(s.total)},
                                 {"Status", s.active ? QStringLiteral("Active") : QStringLiteral("InActive")},
                                 {"DateAdded", stamp(s.added)}});
            m_customers[size_t(s.customer)].sets.push_back(i);
            m_sets.push_back(s);
        }
        // The spreadsheet customer's items are cross-referenced to the supplier's parts, all
        // but one (which the import then reports).
        const auto &quintar = m_customers[0].sets;
        for (size_t k = 0; k < quintar.size(); ++k) {
            const SetPlan &s = m_sets[size_t(quintar[k])];
            if (k == 1 || s.type == QLatin1String("Kit"))
                continue;
            const MaterialPlan &m = m_materials[size_t(s.material)];
            CrossRef x;
            x.part =
                QStringLiteral("%1-%2")
                    .arg(m.id.left(3) == QLatin1String("LTH") ? QStringLiteral("KT") : QStringLiteral("MV"))
                    .arg(m_rng.between(1000, 9999));
            x.description = m.description.section(u',', 0, 0) + QStringLiteral(" for ") + s.style;
            x.color = m.description.section(u',', 1).trimmed();
            x.rstring = QStringLiteral("R%1").arg(m_rng.between(1000, 9999));
            x.cost = cents(s.reqFeet * (m.costLo + m.costHi) / 2);
            m_crossRefs[quintar[k]] = x;
        }
    }

    // ---- orders ------------------------------------------------------------------------------

    bool setUsable(const SetPlan &s, const QDate &d) const { return s.added <= d && d <= s.lastUse; }

    Money priceOn(const SetPlan &s, const QDate &d) const
    {
        return s.priceChanged.isValid() && d < s.priceChanged ? s.oldTotal : s.total;
    }

    // Customers' PO numbers never collide: the demand import finds orders by number alone.
    QString nextOrderNumber(CustomerPlan &c)
    {
        QString number;
        do {
            c.poCounter += m_rng.between(1, 9);
            number = c.poPrefix + QString::number(c.poCounter);
        } while (m_orderNumbers.contains(number));
        m_orderNumbers.insert(number);
        return number;
    }

    int lineQty(const SetPlan &s)
    {
        const int q = m_rng.between(s.qtyLo, s.qtyHi);
        return m_rng.chance(0.5) ? std::max(s.qtyLo, (q + s.qtyLo) / 2) : q;
    }

    void makeOrders()
    {
        // A bigger shop also gets busier: from size 40 on it takes about three times the orders a day.
        const double perDay = 1.85 * std::min(3.0, 1.0 + (m_size - 1) / 20.0);
        for (QDate d = m_start; d <= m_today; d = d.addDays(1)) {
            if (d.dayOfWeek() > 5)
                continue;
            const int count = m_rng.between(0, int(std::lround(2 * perDay)));
            for (int k = 0; k < count; ++k) {
                std::vector<int> weights;
                for (const CustomerPlan &c : m_customers)
                    weights.push_back(c.joined <= d && d <= c.lastOrder ? c.weight : 0);
                const int ci = m_rng.weighted(weights);
                if (weights[size_t(ci)] == 0)
                    continue;
                CustomerPlan &c = m_customers[size_t(ci)];
                std::vector<int> usable;
                for (int si : c.sets)
                    if (setUsable(m_sets[size_t(si)], d))
                        usable.push_back(si);
                if (usable.empty())
                    continue;
                static const int lineCounts[] = {1, 1, 1, 2, 2, 3, 3, 4, 5, 6};
                const int lines = std::min(int(usable.size()), m_rng.pick(lineCounts));
                OrderPlan o;
                o.date = d;
                o.due = weekday(d.addDays(m_rng.between(14, 35)));
                o.customer = ci;
                o.number = nextOrderNumber(c);
                for (int l = 0; l < lines; ++l) {
                    const int pickAt = m_rng.between(0, int(usable.size()) - 1);
                    const SetPlan &s = m_sets[size_t(usable[size_t(pickAt)])];
                    o.lines.push_back({usable[size_t(pickAt)], lineQty(s), priceOn(s, d), 0});
                    usable.erase(usable.begin() + pickAt);
                }
                o.isVoid = m_rng.chance(0.006);
                o.seq = int(m_orders.size());
                m_orders.push_back(o);
            }
        }
        // Always one voided order, from the middle of the period.
        if (!m_orders.empty() &&
            std::none_of(m_orders.begin(), m_orders.end(), [](const OrderPlan &o) { return o.isVoid; }))
            m_orders[m_orders.size() / 2].isVoid = true;
    }

    // Runs of the demand spreadsheet import: single-line orders for the spreadsheet customer.
    void makeImports()
    {
        const int runs = 1 + m_size;
        CustomerPlan &q = m_customers[0];
        std::vector<int> refs;
        for (const auto &[si, x] : m_crossRefs)
            refs.push_back(si);
        int missing = -1;
        for (int si : q.sets)
            if (!m_crossRefs.count(si) && m_sets[size_t(si)].type != QLatin1String("Kit"))
                missing = si;
        const int span = m_start.daysTo(m_today);
        for (int r = 0; r < runs; ++r) {
            ImportRun run;
            run.date = weekday(m_start.addDays(span * (r + 1) / (runs + 1)));
            if (run.date > m_today)
                run.date = m_today;
            const int lines = m_rng.between(3, 6);
            for (int tries = 0; int(run.orders.size()) < lines && !refs.empty() && tries < 40; ++tries) {
                const int si = refs[size_t(m_rng.between(0, int(refs.size()) - 1))];
                const SetPlan &s = m_sets[size_t(si)];
                if (!setUsable(s, run.date))
                    continue;
                OrderPlan o;
                o.date = run.date;
                o.due = weekday(run.date.addDays(m_rng.between(21, 35)));
                o.customer = 0;
                o.number = nextOrderNumber(q);
                o.lines.push_back({si, lineQty(s), priceOn(s, run.date), 0});
                o.imported = true;
                o.seq = int(m_orders.size());
                run.orders.push_back(o.seq);
                m_orders.push_back(o);
            }
            if (missing >= 0 && r % 2 == 0)
                run.log << QStringLiteral(
                               "Import Error: Item Number: %1 was not found in Cross Reference Table.")
                               .arg(m_sets[size_t(missing)].ref);
            // The customer moved a due date of an earlier run's order.
            if (r > 0 && !m_imports.back().orders.empty()) {
                OrderPlan &earlier = m_orders[size_t(m_imports.back().orders.front())];
                const QDate moved = weekday(earlier.due.addDays(m_rng.between(3, 10)));
                run.log << QStringLiteral("Order Updated: Order Number %1 Due Date updated from %2 to %3")
                               .arg(earlier.number, usDate(earlier.due), usDate(moved));
                earlier.due = moved;
            }
            m_imports.push_back(run);
        }
    }

    void sortOrders()
    {
        std::vector<int> order(m_orders.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return m_orders[size_t(a)].date < m_orders[size_t(b)].date;
        });
        std::vector<int> where(m_orders.size());
        std::vector<OrderPlan> sorted;
        for (size_t i = 0; i < order.size(); ++i) {
            where[size_t(order[i])] = int(i);
            sorted.push_back(m_orders[size_t(order[i])]);
        }
        m_orders = std::move(sorted);
        for (ImportRun &run : m_imports)
            for (int &o : run.orders)
                o = where[size_t(o)];
    }

    // ---- production and shipping -------------------------------------------------------------

    QString cutterOn(const QDate &d)
    {
        std::vector<int> working;
        for (size_t i = 0; i < m_employees.size(); ++i) {
            const EmployeePlan &e = m_employees[i];
            if (e.hired <= d && (!e.left.isValid() || d < e.left))
                working.push_back(int(i));
        }
        return m_employees[size_t(working[size_t(m_rng.between(0, int(working.size()) - 1))])].ssn;
    }

    QDate shipDay(const CustomerPlan &c, QDate d) const
    {
        while (std::find(c.shipDays.begin(), c.shipDays.end(), d.dayOfWeek()) == c.shipDays.end())
            d = d.addDays(1);
        return d;
    }

    void ship(const QDate &d, int order, int line, int qty)
    {
        if (d > m_today || qty <= 0)
            return;
        const int customer = m_orders[size_t(order)].customer;
        auto [it, added] = m_shipmentAt.try_emplace({d, customer}, int(m_shipments.size()));
        if (added)
            m_shipments.push_back({d, customer, {}, 0});
        ShipmentPlan &s = m_shipments[size_t(it->second)];
        auto same = std::find_if(s.items.begin(), s.items.end(),
                                 [&](const ShipItemPlan &i) { return i.order == order && i.line == line; });
        if (same != s.items.end())
            same->qty += qty;
        else
            s.items.push_back({order, line, qty});
        m_orders[size_t(order)].lines[size_t(line)].shipped += qty;
    }

    void makeProduction()
    {
        for (size_t oi = 0; oi < m_orders.size(); ++oi) {
            OrderPlan &o = m_orders[oi];
            if (o.isVoid)
                continue;
            const CustomerPlan &c = m_customers[size_t(o.customer)];
            for (size_t li = 0; li < o.lines.size(); ++li) {
                const LinePlan &line = o.lines[li];
                const SetPlan &s = m_sets[size_t(line.set)];
                if (s.type == QLatin1String("Kit")) {
                    const QDate ready = o.date.addDays(m_rng.between(2, 10));
                    const int first = line.qty > 4 && m_rng.chance(0.2) ? line.qty / 2 : line.qty;
                    ship(shipDay(c, ready), int(oi), int(li), first);
                    ship(shipDay(c, ready.addDays(m_rng.between(3, 9))), int(oi), int(li), line.qty - first);
                    continue;
                }
                // Most lines are cut in full; a few wait for material and stay short.
                int toCut = line.qty;
                if (c.active && o.date.daysTo(m_today) < 90 && m_rng.chance(0.04))
                    toCut = m_rng.between(0, line.qty - 1);
                const int pieces = toCut <= 2 ? 1 : m_rng.between(1, std::min(3, toCut));
                QDate d = weekday(o.date.addDays(m_rng.between(1, 8)));
                int left = toCut;
                for (int p = 0; p < pieces && left > 0; ++p) {
                    const int sets = p == pieces - 1 ? left : m_rng.between(1, left - (pieces - 1 - p));
                    left -= sets;
                    if (d > m_today)
                        break;
                    CutPlan cut;
                    cut.date = d;
                    cut.order = int(oi);
                    cut.line = int(li);
                    cut.sets = sets;
                    if (!m_rng.chance(0.03))
                        cut.feet = halfFeet(sets * s.prodStd * m_rng.real(0.93, 1.10));
                    cut.ssn = cutterOn(d);
                    cut.seq = int(m_cuts.size());
                    m_cuts.push_back(cut);
                    QDate out = d.addDays(m_rng.between(1, 3) + (m_rng.chance(0.1) ? 7 : 0));
                    ship(shipDay(c, out), int(oi), int(li), sets);
                    d = weekday(d.addDays(m_rng.between(1, 4)));
                }
            }
        }
        std::stable_sort(m_shipments.begin(), m_shipments.end(),
                         [](const ShipmentPlan &a, const ShipmentPlan &b) {
                             return std::tie(a.date, a.customer) < std::tie(b.date, b.customer);
                         });
    }

    // ---- writing -----------------------------------------------------------------------------

    void writeMasterData()
    {
        for (const Fields &row : m_customerRows)
            m_db.insert(QStringLiteral("Customer"), row);
        for (const Fields &row : m_employeeRows)
            m_db.insert(QStringLiteral("Employee"), row);
        for (const MaterialPlan &m : m_materials)
            m_db.insert(QStringLiteral("Material"),
                        {{"ID", m.id},
                         {"Description", m.description},
                         {"Status", m.active ? QStringLiteral("Active") : QStringLiteral("InActive")},
                         {"Type", m.type},
                         {"DateAdded", m_systemStart}});
        for (const Fields &row : m_setRows)
            m_db.insert(QStringLiteral("Sets"), row);
        for (const SetPlan &s : m_sets)
            if (s.priceChanged.isValid())
                m_db.insert(QStringLiteral("PriceUpdate"),
                            {{"CustomerRefNumber", s.ref}, {"DatePriceChanged", s.priceChanged}});
        for (const auto &[si, x] : m_crossRefs)
            m_db.insert(QStringLiteral("CrossReferenceTable"), {{"CustomerRefNumber", m_sets[size_t(si)].ref},
                                                                {"PartNumber", x.part},
                                                                {"Description", x.description},
                                                                {"ColorName", x.color},
                                                                {"RStringNumber", x.rstring},
                                                                {"Cost", money(x.cost)}});
        m_db.insert(QStringLiteral("POSetup"), purchaseOrderDefaults());
    }

    void writeOrders()
    {
        for (OrderPlan &o : m_orders) {
            Money total;
            bool complete = true;
            for (const LinePlan &l : o.lines) {
                total += l.price.times(l.qty);
                complete = complete && l.shipped == l.qty;
            }
            const CustomerPlan &c = m_customers[size_t(o.customer)];
            Fields row = {
                {"OrderNumber", o.number}, {"Customer", c.name}, {"OrderDate", o.date}, {"DueDate", o.due}};
            row.insert(row.end(), c.shipTo.begin(), c.shipTo.end());
            row.push_back({"Status", o.isVoid   ? QStringLiteral("Void")
                                     : complete ? QStringLiteral("Closed")
                                                : QStringLiteral("Open")});
            row.push_back({"DateAdded", o.date});
            row.push_back({"Total", money(total)});
            o.id = m_db.insert(QStringLiteral("Orders"), row);
            for (size_t li = 0; li < o.lines.size(); ++li) {
                const LinePlan &l = o.lines[li];
                const SetPlan &s = m_sets[size_t(l.set)];
                m_db.insert(QStringLiteral("OrderItem"), {{"OrderID", o.id},
                                                          {"ItemNumber", int(li) + 1},
                                                          {"Qty", l.qty},
                                                          {"CustomerRefNo", s.ref},
                                                          {"StyleID", s.style},
                                                          {"MaterialID", m_materials[size_t(s.material)].id},
                                                          {"PriceEach", money(l.price)},
                                                          {"PriceExt", money(l.price.times(l.qty))}});
            }
        }
    }

    void writeShipments()
    {
        for (size_t si = 0; si < m_shipments.size(); ++si) {
            ShipmentPlan &s = m_shipments[si];
            s.id = m_db.insert(QStringLiteral("Shipment"),
                               {{"Date", s.date}, {"Customer", m_customers[size_t(s.customer)].name}});
            std::stable_sort(s.items.begin(), s.items.end(),
                             [](const ShipItemPlan &a, const ShipItemPlan &b) {
                                 return std::tie(a.order, a.line) < std::tie(b.order, b.line);
                             });
            int box = 1;
            for (size_t k = 0; k < s.items.size(); ++k) {
                const ShipItemPlan &item = s.items[k];
                const OrderPlan &o = m_orders[size_t(item.order)];
                const LinePlan &l = o.lines[size_t(item.line)];
                const SetPlan &set = m_sets[size_t(l.set)];
                if (k > 0 && m_rng.chance(0.45))
                    ++box;
                m_db.insert(QStringLiteral("ShipmentItems"),
                            {{"ShipmentID", s.id},
                             {"Item", int(k) + 1},
                             {"OrderID", o.id},
                             {"LineItem", item.line + 1},
                             {"OrderNumber", o.number},
                             {"ItemDesc", QStringLiteral("%1 - %2").arg(item.line + 1).arg(set.ref)},
                             {"QtyOrd", l.qty},
                             {"Qty", item.qty},
                             {"Box", m_rng.chance(0.03) ? QString() : QString::number(box)}});
                if (set.type == QLatin1String("Kit")) {
                    CutPlan cut;
                    cut.date = s.date;
                    cut.order = item.order;
                    cut.line = item.line;
                    cut.sets = item.qty;
                    cut.feet = double(item.qty);
                    cut.shipment = int(si);
                    cut.seq = int(m_cuts.size());
                    m_cuts.push_back(cut);
                }
            }
        }
    }

    void writeCutsheets()
    {
        std::stable_sort(m_cuts.begin(), m_cuts.end(), [](const CutPlan &a, const CutPlan &b) {
            return std::tie(a.date, a.seq) < std::tie(b.date, b.seq);
        });
        for (const CutPlan &c : m_cuts) {
            const QString who = c.shipment >= 0
                                    ? QStringLiteral("SHIPMENT %1").arg(m_shipments[size_t(c.shipment)].id)
                                    : c.ssn;
            m_db.insert(QStringLiteral("Cutsheets"), {{"SSN", who},
                                                      {"Date", c.date},
                                                      {"OrderID", m_orders[size_t(c.order)].id},
                                                      {"Item", c.line + 1},
                                                      {"Sets", c.sets},
                                                      {"Feet", c.feet}});
        }
    }

    void makeInvoices()
    {
        for (size_t si = 0; si < m_shipments.size(); ++si) {
            const ShipmentPlan &s = m_shipments[si];
            Money value;
            for (const ShipItemPlan &item : s.items)
                value += m_orders[size_t(item.order)].lines[size_t(item.line)].price.times(item.qty);
            m_invoices.push_back({s.date, s.customer, int(si), value.rounded(2), int(m_invoices.size()), 0});
        }
        const int manual = 2 * m_size;
        for (int k = 0; k < manual; ++k) {
            const QDate d = weekday(inHistory(0.1, 0.95));
            std::vector<int> weights;
            for (const CustomerPlan &c : m_customers)
                weights.push_back(c.joined <= d && d <= c.lastOrder ? c.weight : 0);
            const int ci = m_rng.weighted(weights);
            if (weights[size_t(ci)] == 0 || d > m_today)
                continue;
            m_invoices.push_back({d, ci, -1, cents(m_rng.real(35, 450)), int(m_invoices.size()), 0});
        }
        std::stable_sort(m_invoices.begin(), m_invoices.end(),
                         [](const InvoicePlan &a, const InvoicePlan &b) {
                             return std::tie(a.date, a.seq) < std::tie(b.date, b.seq);
                         });
        for (size_t i = 0; i < m_invoices.size(); ++i) {
            const InvoicePlan &inv = m_invoices[i];
            const int days = m_customers[size_t(inv.customer)].days;
            const int roll = m_rng.between(0, 99);
            if (roll < 5)
                continue; // disputed: never paid
            QDate d = inv.date.addDays(std::max(days + m_rng.between(-8, 12), 0));
            if (roll < 16) {
                // Paid on account, the rest later (if at all yet).
                const Money part =
                    Money::fromUnits(inv.total.units() * m_rng.between(30, 80) / 100).rounded(2);
                if (part.isZero() || part >= inv.total || d > m_today)
                    continue;
                m_payments.push_back({d, int(i), part, int(m_payments.size())});
                d = d.addDays(m_rng.between(14, 45));
                if (d <= m_today && m_rng.chance(0.7))
                    m_payments.push_back({d, int(i), inv.total - part, int(m_payments.size())});
                continue;
            }
            if (d <= m_today && !inv.total.isZero())
                m_payments.push_back({d, int(i), inv.total, int(m_payments.size())});
        }
        std::stable_sort(m_payments.begin(), m_payments.end(),
                         [](const PaymentPlan &a, const PaymentPlan &b) {
                             return std::tie(a.date, a.seq) < std::tie(b.date, b.seq);
                         });
    }

    void writeInvoicesAndPayments()
    {
        for (InvoicePlan &inv : m_invoices) {
            const CustomerPlan &c = m_customers[size_t(inv.customer)];
            inv.id =
                m_db.insert(QStringLiteral("Invoice"),
                            {{"Customer", c.name},
                             {"InvoiceDate", inv.date},
                             {"DueDate", inv.date.addDays(c.days)},
                             {"Terms", c.terms},
                             {"Shipment", inv.shipment >= 0 ? QVariant(m_shipments[size_t(inv.shipment)].id)
                                                            : QVariant()},
                             {"Total", money(inv.total)},
                             {"Type", inv.shipment >= 0 ? QStringLiteral("Auto Invoice")
                                                        : QStringLiteral("Manual Invoice")}});
        }
        for (const PaymentPlan &p : m_payments)
            m_db.insert(QStringLiteral("Payments"), {{"Invoice", m_invoices[size_t(p.invoice)].id},
                                                     {"Date", p.date},
                                                     {"Amount", money(p.amount)}});
    }

    // ---- inventory ---------------------------------------------------------------------------

    Money unitCost(int material, const QDate &d)
    {
        const MaterialPlan &m = m_materials[size_t(material)];
        const double years = m_start.daysTo(d) / 365.0;
        return cents(m_rng.real(m.costLo, m.costHi) * (1.0 + 0.03 * years));
    }

    // Material is bought the way the shop buys it: each supplier's materials are looked at once
    // a week (leather Mondays, vinyl Tuesdays, kits Wednesdays), and whatever would run short
    // within two weeks is topped up for five. So the books never show negative stock.
    void makeAdjustments()
    {
        const int days = int(m_start.daysTo(m_today)) + 1;
        std::vector<std::vector<double>> use(m_materials.size(), std::vector<double>(size_t(days), 0.0));
        for (const CutPlan &c : m_cuts) {
            const SetPlan &s = m_sets[size_t(m_orders[size_t(c.order)].lines[size_t(c.line)].set)];
            use[size_t(s.material)][size_t(m_start.daysTo(c.date))] += c.feet.toDouble(); // empty feet: none
        }
        auto usage = [&](size_t mi, int from, int n) {
            double sum = 0;
            for (int d = from; d < std::min(from + n, days); ++d)
                sum += use[mi][size_t(d)];
            return sum;
        };
        static const char *const suppliers[] = {"Kingsley Tannery", "Midwest Vinyl Supply",
                                                "Trimline Hardware"};
        static const char *const types[] = {"Leather", "Vinyl", "Kit"};
        auto typeOf = [&](size_t mi) {
            return int(std::find(std::begin(types), std::end(types), m_materials[mi].type) -
                       std::begin(types));
        };
        auto cushion = [&](size_t mi) { return typeOf(mi) == 2 ? 5.0 : 40.0; };

        std::vector<double> onHand(m_materials.size(), 0.0);
        AdjustmentPlan opening{m_start.addDays(-1), QStringLiteral("Opening inventory count"), {}, 0};
        for (size_t mi = 0; mi < m_materials.size(); ++mi) {
            const bool kit = typeOf(mi) == 2;
            const double counted = kit ? m_rng.between(20, 80) : m_rng.between(150, 600);
            onHand[mi] = std::max(counted, std::ceil(usage(mi, 0, 21) + cushion(mi)));
            opening.lines.push_back({int(mi), onHand[mi], unitCost(int(mi), m_start)});
        }
        m_adjustments.push_back(opening);

        for (int day = 0; day < days; ++day) {
            const QDate d = m_start.addDays(day);
            const int t = d.dayOfWeek() - 1;
            if (t < 3) {
                AdjustmentPlan buy{d,
                                   QStringLiteral("Received from %1, invoice %2")
                                       .arg(QLatin1String(suppliers[t]))
                                       .arg(m_rng.between(10000, 99999)),
                                   {},
                                   int(m_adjustments.size())};
                for (size_t mi = 0; mi < m_materials.size(); ++mi) {
                    if (typeOf(mi) != t || !m_materials[mi].active ||
                        onHand[mi] - usage(mi, day, 14) >= cushion(mi))
                        continue;
                    double qty = std::ceil(usage(mi, day, 35) + cushion(mi) - onHand[mi]);
                    if (t < 2)
                        qty = std::ceil(qty / 5) * 5; // hides and rolls come in round lots
                    buy.lines.push_back({int(mi), qty, unitCost(int(mi), d)});
                    onHand[mi] += qty;
                }
                if (!buy.lines.empty())
                    m_adjustments.push_back(buy);
            }
            // Now and then a count finds less than the books say, or a hide is spoiled.
            if (t == 3 && m_rng.chance(0.2)) {
                const bool damaged = m_rng.chance(0.4);
                const size_t mi = size_t(materialOfType(
                    damaged || m_rng.chance(0.6) ? QStringLiteral("Leather") : QStringLiteral("Vinyl")));
                const double spare = std::floor(onHand[mi] - usage(mi, day, 14) - cushion(mi));
                const double qty = std::min(double(m_rng.between(2, damaged ? 50 : 20)), spare);
                if (qty >= 1) {
                    onHand[mi] -= qty;
                    m_adjustments.push_back({d,
                                             damaged ? QStringLiteral("Damaged hide written off")
                                                     : QStringLiteral("Physical count correction"),
                                             {{int(mi), -qty, unitCost(int(mi), d)}},
                                             int(m_adjustments.size())});
                }
            }
            for (size_t mi = 0; mi < m_materials.size(); ++mi)
                onHand[mi] -= use[mi][size_t(day)];
        }
        // Always at least one correction, so the negative side of the books is shown.
        if (std::none_of(m_adjustments.begin(), m_adjustments.end(),
                         [](const AdjustmentPlan &a) { return a.lines.front().qty < 0; })) {
            const size_t mi = size_t(materialOfType(QStringLiteral("Leather")));
            m_adjustments.push_back({m_today,
                                     QStringLiteral("Physical count correction"),
                                     {{int(mi), -1.0, unitCost(int(mi), m_today)}},
                                     int(m_adjustments.size())});
        }
        std::stable_sort(m_adjustments.begin(), m_adjustments.end(),
                         [](const AdjustmentPlan &a, const AdjustmentPlan &b) {
                             return std::tie(a.date, a.seq) < std::tie(b.date, b.seq);
                         });
    }

    void writeAdjustments()
    {
        // The unit value moves half way to each adjustment's price, as the adjustment window does.
        std::map<int, Money> value;
        for (const AdjustmentPlan &a : m_adjustments) {
            const qint64 id = m_db.insert(QStringLiteral("Adjustment"),
                                          {{"Date", a.date}, {"DateAdded", a.date}, {"Reason", a.reason}});
            for (const AdjustmentLine &l : a.lines) {
                m_db.insert(QStringLiteral("AdjustmentItem"),
                            {{"AdjustmentID", id},
                             {"MaterialID", m_materials[size_t(l.material)].id},
                             {"Adjustment", l.qty},
                             {"PriceEach", money(l.price)},
                             {"PriceExt", money(l.price.times(l.qty))}});
                auto [it, fresh] = value.try_emplace(l.material, l.price);
                if (!fresh)
                    it->second = Money::fromUnits((it->second + l.price).units() / 2).rounded(2);
            }
        }
        for (const auto &[mi, price] : value)
            m_db.insert(QStringLiteral("ItemValue"),
                        {{"MaterialID", m_materials[size_t(mi)].id}, {"Price", money(price)}});
    }

    // ---- purchasing --------------------------------------------------------------------------

    void writePurchasing()
    {
        bool withdrawn = false;
        for (size_t r = 0; r < m_imports.size(); ++r) {
            const ImportRun &run = m_imports[r];
            const int importId = int(r) + 1;
            auto log = [&](const QString &text) {
                m_db.insert(QStringLiteral("ImportXLSLog"),
                            {{"ImportID", importId}, {"LogDate", run.date}, {"Description", text}});
            };
            std::vector<std::pair<qint64, int>> pending; // (pending ID, order)
            for (int oi : run.orders) {
                const OrderPlan &o = m_orders[size_t(oi)];
                const LinePlan &l = o.lines.front();
                const SetPlan &s = m_sets[size_t(l.set)];
                const CrossRef &x = m_crossRefs.at(l.set);
                const qint64 id =
                    m_db.insert(QStringLiteral("PendingPOItems"), {{"CustomerRefNo", s.ref},
                                                                   {"PartNumber", x.part},
                                                                   {"Description", x.description},
                                                                   {"ColorName", x.color},
                                                                   {"RStringNumber", x.rstring},
                                                                   {"Price", money(x.cost)},
                                                                   {"Quantity", l.qty},
                                                                   {"DockDate", o.due},
                                                                   {"Status", QStringLiteral("Open")}});
                pending.push_back({id, oi});
                log(QStringLiteral("Data Imported - PO#: %1     Item #: %2     Qty: %3")
                        .arg(o.number, s.ref)
                        .arg(l.qty));
            }
            for (const QString &line : run.log)
                log(line);
            // Every run but the last has gone out on purchase orders of one or two lines each,
            // a day or so apart; one line of an early run was withdrawn by the buyer instead.
            if (r + 1 == m_imports.size() || pending.empty())
                continue;
            if (!withdrawn && pending.size() > 1) {
                withdrawn = true;
                m_db.update(QStringLiteral("PendingPOItems"), {{"Status", QStringLiteral("Delete")}},
                            QStringLiteral("ID = ?"), {pending.back().first});
                pending.pop_back();
            }
            QDate poDate = weekday(run.date.addDays(m_rng.between(1, 3)));
            for (size_t first = 0; first < pending.size() && poDate <= m_today; first += 2) {
                const size_t last = std::min(pending.size(), first + 2);
                writePurchaseOrder({pending.begin() + long(first), pending.begin() + long(last)}, poDate);
                poDate = weekday(poDate.addDays(1));
            }
        }
    }

    // One purchase order of the pending items (ID, order), closing and linking each item.
    void writePurchaseOrder(const std::vector<std::pair<qint64, int>> &items, const QDate &poDate)
    {
        Money total;
        for (const auto &[id, oi] : items) {
            const LinePlan &l = m_orders[size_t(oi)].lines.front();
            total += m_crossRefs.at(l.set).cost.times(l.qty).rounded(2);
        }
        Fields header = purchaseOrderDefaults();
        header.insert(header.end(),
                      {{"PODate", poDate}, {"DueDate", poDate.addDays(14)}, {"Total", money(total)}});
        const qint64 po = m_db.insert(QStringLiteral("PurchaseOrder"), header);
        for (const auto &[id, oi] : items) {
            const LinePlan &l = m_orders[size_t(oi)].lines.front();
            const CrossRef &x = m_crossRefs.at(l.set);
            const qint64 item = m_db.insert(QStringLiteral("PurchaseOrderItem"),
                                            {{"POID", po},
                                             {"Quantity", l.qty},
                                             {"PartNumber", x.part},
                                             {"Description", x.description},
                                             {"Color", x.color},
                                             {"ColorNumber", x.rstring},
                                             {"PriceEach", money(x.cost)},
                                             {"PriceExt", money(x.cost.times(l.qty).rounded(2))},
                                             {"PendingPOItemID", id}});
            m_db.update(QStringLiteral("PendingPOItems"),
                        {{"POID", po}, {"POItemID", item}, {"Status", QStringLiteral("Closed")}},
                        QStringLiteral("ID = ?"), {id});
        }
    }

    Database &m_db;
    const int m_size;
    const QDate m_today;
    QDate m_start, m_systemStart;
    Random m_rng;

    std::vector<MaterialPlan> m_materials;
    std::vector<CustomerPlan> m_customers;
    std::vector<Fields> m_customerRows, m_employeeRows, m_setRows;
    std::vector<EmployeePlan> m_employees;
    std::vector<SetPlan> m_sets;
    std::map<int, CrossRef> m_crossRefs;
    std::vector<OrderPlan> m_orders;
    QSet<QString> m_orderNumbers;
    std::vector<ImportRun> m_imports;
    std::vector<CutPlan> m_cuts;
    std::map<std::pair<QDate, int>, int> m_shipmentAt;
    std::vector<ShipmentPlan> m_shipments;
    std::vector<InvoicePlan> m_invoices;
    std::vector<PaymentPlan> m_payments;
    std::vector<AdjustmentPlan> m_adjustments;
};

// Ten years of history outgrow the default page cache, and every index page that falls out
// is read and decrypted again. A larger cache while filling, then back to what it was.
class LargeCache
{
public:
    // The server keeps its own cache.
    explicit LargeCache(Database &db)
        : m_db(db), m_was(db.isServer() ? 0 : db.scalar(QStringLiteral("PRAGMA cache_size")).toLongLong())
    {
        if (!m_db.isServer())
            m_db.exec(QStringLiteral("PRAGMA cache_size = -131072"));
    }
    ~LargeCache()
    {
        if (m_db.isServer())
            return;
        try {
            m_db.exec(QStringLiteral("PRAGMA cache_size = %1").arg(m_was));
        } catch (const DbError &) {
            // Only a speed setting; never let it hide the failure being unwound.
        }
    }
    LargeCache(const LargeCache &) = delete;
    LargeCache &operator=(const LargeCache &) = delete;

private:
    Database &m_db;
    qint64 m_was;
};

} // namespace

void fillDemoData(Database &db, const DemoOptions &options)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM Customer")).toLongLong() > 0 ||
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM Orders")).toLongLong() > 0)
        throw DbError(1, QStringLiteral(
                             "The database already holds data; demo data goes into an empty database only."));
    LargeCache cache(db);
    // The running figures are counted once at the end, not kept row by row while ten years of
    // cutting are written.
    schema::countCutFiguresAfter(db, [&] { Builder(db, options).run(); });
}
