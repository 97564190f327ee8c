#include "reports/ReportRegistry.h"

#include "reports/docs/Families.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <deque>

namespace reports {

namespace {

QString needsText(const Argument &a)
{
    switch (a.kind) {
    case ArgumentKind::Number:
        return QStringLiteral("This document needs --arg %1=NUMBER.").arg(a.name);
    case ArgumentKind::Date:
        return QStringLiteral("This document needs --arg %1=DATE (yyyy-mm-dd or m/d/yyyy).").arg(a.name);
    case ArgumentKind::Text:
        break;
    }
    return QStringLiteral("This document needs --arg %1=TEXT.").arg(a.name);
}

qint64 readNumber(const QString &key, const QString &value)
{
    bool ok = false;
    const qint64 v = value.toLongLong(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("--arg %1 must be a whole number, not \"%2\".").arg(key, value));
    return v;
}

QDate readDate(const QString &key, const QString &value)
{
    const QDate d = parseWholeDate(value);
    if (!d.isValid())
        throw UsageError(
            QStringLiteral("--arg %1 must be a date (yyyy-mm-dd or m/d/yyyy), not \"%2\".").arg(key, value));
    return d;
}

// The columns a template names: "{Field}", "{Field:format}", "{Field|fallback}"; slots ("{@X}")
// and "{count}" are not columns.
void templateColumns(const QString &text, QSet<QString> &out)
{
    static const QRegularExpression field(QStringLiteral("\\{([^}:|]*)[^}]*\\}"));
    for (auto it = field.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!name.startsWith(u'@') && name != QLatin1String("count"))
            out.insert(name);
    }
}

// A column's field is a template when it has braces, else an expression over columns.
void fieldColumns(const QString &field, QSet<QString> &out)
{
    if (field.contains(u'{')) {
        templateColumns(field, out);
        return;
    }
    static const QRegularExpression name(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
    for (auto it = name.globalMatch(field); it.hasNext();)
        out.insert(it.next().captured(0));
}

void columnsOf(const QList<Column> &columns, QSet<QString> &out)
{
    for (const Column &c : columns) {
        fieldColumns(c.field, out);
        templateColumns(c.heading, out);
        if (!c.runningStart.isEmpty())
            out.insert(c.runningStart);
    }
}

// Every input column the design's bands, groups and totals read from the main rows.
QSet<QString> usedColumns(const Design &d)
{
    QSet<QString> used;
    columnsOf(d.details, used);
    for (const Group &g : d.groups) {
        for (const QString &k : g.keys)
            used.insert(k);
        templateColumns(g.header, used);
        templateColumns(g.footer, used);
        for (const Block &b : g.blocks) {
            for (const QString &line : b.lines)
                templateColumns(line, used);
        }
        for (const Info &i : g.infos)
            templateColumns(i.value, used);
        for (const QString &sum : g.sums)
            fieldColumns(sum, used);
    }
    for (const QString &total : d.totals)
        fieldColumns(total, used);
    templateColumns(d.totalLabel, used);
    for (const QString &note : d.notes)
        templateColumns(note, used);
    return used;
}

} // namespace

qint64 ReportArguments::id(const QString &key) const
{
    if (!has(key))
        throw UsageError(needsText({key, ArgumentKind::Number, true, {}}));
    return readNumber(key, m_values.value(key));
}

QDate ReportArguments::date(const QString &key, const QDate &fallback) const
{
    if (!has(key)) {
        if (fallback.isValid())
            return fallback;
        throw UsageError(needsText({key, ArgumentKind::Date, true, {}}));
    }
    return readDate(key, m_values.value(key));
}

QString ReportArguments::text(const QString &key, const QString &fallback) const
{
    return has(key) ? m_values.value(key) : fallback;
}

// Entries stay where they are once added (a deque does not move them): documents and the
// viewer keep pointers to their designs.
struct Registry
{
    std::deque<Document> entries;

    Document *entry(const QString &name)
    {
        for (Document &d : entries) {
            if (d.name().compare(name, Qt::CaseInsensitive) == 0)
                return &d;
        }
        return nullptr;
    }

    static Registry &instance()
    {
        static Registry registry = [] {
            Registry r;
            // Built once, on first use; a broken entry stops here rather than when it prints.
            Family family(r);
            docs::addOrderDocuments(family);
            docs::addMasterListings(family);
            docs::addShippingDocuments(family);
            docs::addReceivableDocuments(family);
            docs::addProductionDocuments(family);
            docs::addInventoryDocuments(family);
            docs::addPurchasingDocuments(family);
            return r;
        }();
        return registry;
    }
};

QStringList entryProblems(const Document &document)
{
    QStringList problems;
    const QString &name = document.name();
    if (!document.build)
        problems << QStringLiteral("%1 has no row builder.").arg(name);
    const QSet<QString> declared(document.columns.begin(), document.columns.end());
    QStringList missing;
    for (const QString &column : usedColumns(document.design)) {
        if (!declared.contains(column))
            missing << column;
    }
    if (document.design.sub) {
        const SubReport &sub = *document.design.sub;
        QSet<QString> used;
        columnsOf(sub.details, used);
        for (const QString &total : sub.totals)
            fieldColumns(total, used);
        for (const QString &column : used) {
            if (!sub.columns.contains(column))
                missing << column;
        }
    }
    std::sort(missing.begin(), missing.end());
    for (const QString &column : missing)
        problems << QStringLiteral("%1 uses the column \"%2\", which its row builder does not return.")
                        .arg(name, column);
    // A navigation-pane command runs with no arguments at all.
    if (document.command && std::any_of(document.arguments.begin(), document.arguments.end(),
                                        [](const Argument &a) { return a.required; }))
        problems << QStringLiteral("%1 is a pane command but needs arguments.").arg(name);
    return problems;
}

void Family::add(Document document)
{
    document.design.columns = document.columns;
    QStringList problems = entryProblems(document);
    if (m_registry.entry(document.name()))
        problems << QStringLiteral("%1 is registered twice.").arg(document.name());
    if (!problems.isEmpty())
        qFatal("%s", qPrintable(problems.join(u'\n')));
    m_registry.entries.push_back(std::move(document));
}

QList<const Document *> registry()
{
    QList<const Document *> out;
    for (const Document &d : Registry::instance().entries)
        out << &d;
    return out;
}

const Document *find(const QString &name)
{
    return Registry::instance().entry(name);
}

const Document *findCommand(const QString &key)
{
    if (key.isEmpty())
        return nullptr;
    for (const Document &d : Registry::instance().entries) {
        if (d.command && d.command->key == key)
            return &d;
    }
    return nullptr;
}

void checkArguments(const Document &document, const QMap<QString, QString> &arguments)
{
    for (auto it = arguments.cbegin(); it != arguments.cend(); ++it) {
        const bool known = std::any_of(document.arguments.begin(), document.arguments.end(),
                                       [&](const Argument &a) { return a.name == it.key(); });
        if (!known)
            throw UsageError(QStringLiteral("%1 takes no --arg %2.").arg(document.name(), it.key()));
    }
    for (const Argument &a : document.arguments) {
        if (!arguments.contains(a.name)) {
            if (a.required)
                throw UsageError(needsText(a));
            continue;
        }
        if (a.kind == ArgumentKind::Number)
            readNumber(a.name, arguments.value(a.name));
        else if (a.kind == ArgumentKind::Date)
            readDate(a.name, arguments.value(a.name));
    }
}

ReportJob buildJob(const Document &document, const QMap<QString, QString> &arguments)
{
    checkArguments(document, arguments);
    return document.build(ReportArguments(arguments));
}

QList<const Design *> designs()
{
    QList<const Design *> out;
    for (const Document &d : Registry::instance().entries)
        out << &d.design;
    return out;
}

const Design *findDesign(const QString &name)
{
    const Document *d = Registry::instance().entry(name);
    return d ? &d->design : nullptr;
}

} // namespace reports
