#include "reports/ReportRegistry.h"

#include "reports/docs/Families.h"

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
    std::deque<Document> entries; // those without a row builder are designs only

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

void Family::add(Document document)
{
    // A navigation-pane command runs with no arguments at all.
    Q_ASSERT(document.commandKey.isEmpty() ||
             std::none_of(document.arguments.begin(), document.arguments.end(),
                          [](const Argument &a) { return a.required; }));
    Q_ASSERT(!m_registry.entry(document.name()));
    m_registry.entries.push_back(std::move(document));
}

void Family::addDesign(Design design)
{
    Q_ASSERT(!m_registry.entry(design.name));
    Document d;
    d.design = std::move(design);
    m_registry.entries.push_back(std::move(d));
}

QList<const Document *> registry()
{
    QList<const Document *> out;
    for (const Document &d : Registry::instance().entries) {
        if (d.build)
            out << &d;
    }
    return out;
}

const Document *find(const QString &name)
{
    const Document *d = Registry::instance().entry(name);
    return d && d->build ? d : nullptr;
}

const Document *findCommand(const QString &key)
{
    if (key.isEmpty())
        return nullptr;
    for (const Document &d : Registry::instance().entries) {
        if (d.build && d.commandKey == key)
            return &d;
    }
    return nullptr;
}

bool add(Document document)
{
    Registry &r = Registry::instance();
    if (!document.build)
        return false;
    Document *existing = r.entry(document.name());
    if (existing && existing->build)
        return false;
    if (existing)
        *existing = std::move(document);
    else
        r.entries.push_back(std::move(document));
    return true;
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
