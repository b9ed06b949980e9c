#include "packs/packdescription.h"

#include <QXmlStreamReader>

namespace Corvane {

namespace {

Attributes attributesOf(const QXmlStreamReader &xml)
{
    Attributes result;
    const QXmlStreamAttributes attributes = xml.attributes();
    for (const QXmlStreamAttribute &a : attributes)
        result.insert(a.name().toString(), a.value().toString());
    return result;
}

// Attributes of `over` win over those of `base`.
Attributes merged(Attributes base, const Attributes &over)
{
    for (auto it = over.cbegin(); it != over.cend(); ++it)
        base.insert(it.key(), it.value());
    return base;
}

// A level of the device tree: family, subFamily, device or variant.
struct DeviceNode
{
    QString kind;
    Attributes attributes; // its own, processor attributes included
    QString header;
    QString define;
    QList<DeviceNode> children;
};

void flatten(const DeviceNode &node, const PackDevice &inherited, QList<PackDevice> &out)
{
    PackDevice here;
    here.attributes = merged(inherited.attributes, node.attributes);
    here.header = node.header.isEmpty() ? inherited.header : node.header;
    here.define = node.define.isEmpty() ? inherited.define : node.define;
    if (node.kind == QLatin1String("device") || node.kind == QLatin1String("variant"))
        out.append(here);
    for (const DeviceNode &child : node.children)
        flatten(child, here, out);
}

class Reader
{
public:
    explicit Reader(const QByteArray &xml) : m_xml(xml) {}

    PackDescription read()
    {
        // One root element; reading on past its end would report a premature end.
        if (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("package"))
                readPackage();
            else
                m_xml.skipCurrentElement();
        }
        if (m_xml.hasError()) {
            PackDescription failed;
            failed.error =
                QStringLiteral("%1 (line %2)").arg(m_xml.errorString()).arg(m_xml.lineNumber());
            return failed;
        }
        if (m_description.vendor.isEmpty() && m_description.devices.isEmpty() &&
            m_description.components.isEmpty())
            m_description.error = QStringLiteral("no <package> description in the file");
        PackDevice none;
        for (const DeviceNode &family : m_families)
            flatten(family, none, m_description.devices);
        return m_description;
    }

private:
    void readPackage()
    {
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (name == QLatin1String("vendor"))
                m_description.vendor = m_xml.readElementText().trimmed();
            else if (name == QLatin1String("name"))
                m_description.name = m_xml.readElementText().trimmed();
            else if (name == QLatin1String("conditions"))
                readConditions();
            else if (name == QLatin1String("devices"))
                readDevices();
            else if (name == QLatin1String("components"))
                readComponents(Attributes());
            else if (name == QLatin1String("apis"))
                readApis();
            else
                m_xml.skipCurrentElement();
        }
    }

    void readConditions()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("condition")) {
                m_xml.skipCurrentElement();
                continue;
            }
            const QString id = m_xml.attributes().value(QLatin1String("id")).toString();
            QList<ConditionTerm> terms;
            while (m_xml.readNextStartElement()) {
                const auto name = m_xml.name();
                ConditionTerm term;
                term.attributes = attributesOf(m_xml);
                if (name == QLatin1String("accept"))
                    term.kind = ConditionTerm::Accept;
                else if (name == QLatin1String("deny"))
                    term.kind = ConditionTerm::Deny;
                else if (name == QLatin1String("require"))
                    term.kind = ConditionTerm::Require;
                m_xml.skipCurrentElement();
                if (name == QLatin1String("accept") || name == QLatin1String("require") ||
                    name == QLatin1String("deny"))
                    terms.append(term);
            }
            m_description.conditions.insert(id, terms);
        }
    }

    void readDevices()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("family"))
                m_families.append(readDeviceNode());
            else
                m_xml.skipCurrentElement();
        }
    }

    // A family, subFamily, device or variant and everything below it.
    DeviceNode readDeviceNode()
    {
        DeviceNode node;
        node.kind = m_xml.name().toString();
        node.attributes = attributesOf(m_xml);
        bool haveProcessor = false;
        bool haveCompile = false;
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (name == QLatin1String("subFamily") || name == QLatin1String("device") ||
                name == QLatin1String("variant")) {
                node.children.append(readDeviceNode());
                continue;
            }
            // Devices of several processors have one element per Pname: the first counts.
            if (name == QLatin1String("processor") && !haveProcessor) {
                Attributes processor = attributesOf(m_xml);
                processor.remove(QStringLiteral("Dclock"));
                node.attributes = merged(node.attributes, processor);
                haveProcessor = true;
            } else if (name == QLatin1String("compile") && !haveCompile) {
                node.header = m_xml.attributes().value(QLatin1String("header")).toString();
                node.define = m_xml.attributes().value(QLatin1String("define")).toString();
                haveCompile = true;
            }
            m_xml.skipCurrentElement();
        }
        return node;
    }

    void readComponents(const Attributes &bundle)
    {
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (name == QLatin1String("bundle")) {
                readComponents(attributesOf(m_xml));
            } else if (name == QLatin1String("component")) {
                PackComponent component;
                component.attributes = merged(bundle, attributesOf(m_xml));
                readFiles(component);
                m_description.components.append(component);
            } else {
                m_xml.skipCurrentElement();
            }
        }
    }

    void readApis()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("api")) {
                m_xml.skipCurrentElement();
                continue;
            }
            PackComponent api;
            api.attributes = attributesOf(m_xml);
            readFiles(api);
            m_description.apis.append(api);
        }
    }

    // The <files> of a component or API.
    void readFiles(PackComponent &component)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("files")) {
                m_xml.skipCurrentElement();
                continue;
            }
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == QLatin1String("file")) {
                    PackFile file;
                    file.attributes = attributesOf(m_xml);
                    component.files.append(file);
                }
                m_xml.skipCurrentElement();
            }
        }
    }

    QXmlStreamReader m_xml;
    PackDescription m_description;
    QList<DeviceNode> m_families;
};

} // namespace

const PackDevice *PackDescription::device(const QString &name) const
{
    const PackDevice *byName = nullptr;
    for (const PackDevice &d : devices) {
        if (d.attributes.value(QStringLiteral("Dvariant")) == name)
            return &d;
        if (!byName && !d.attributes.contains(QStringLiteral("Dvariant")) &&
            d.attributes.value(QStringLiteral("Dname")) == name)
            byName = &d;
    }
    return byName;
}

PackDescription readPackDescription(const QByteArray &xml)
{
    return Reader(xml).read();
}

} // namespace Corvane
