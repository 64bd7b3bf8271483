#include "platform/GeneHelp.h"

#include <QFile>
#include <QObject>
#include <QRegularExpression>
#include <array>

#include "model/GeneTables.h"

// What each gene does, in a line: the tip of its box, and its name for a screen reader.
QString GeneTip(int gene) {
    static const char* const kTips[kGeneCount + 1] = {
        "",
        "Gene 1: horizontal part of branch directions 1 and 3 (-400 to 400)",
        "Gene 2: horizontal part of branch directions 0 and 4 (-400 to 400)",
        "Gene 3: horizontal part of branch directions 5 and 7 (-400 to 400)",
        "Gene 4: vertical part of direction 2, the trunk (-400 to 400)",
        "Gene 5: vertical part of branch directions 1 and 3 (-400 to 400)",
        "Gene 6: vertical part of branch directions 0 and 4 (-400 to 400)",
        "Gene 7: vertical part of branch directions 5 and 7 (-400 to 400)",
        "Gene 8: vertical part of branch direction 6 (-400 to 400)",
        "Gene 9: depth of branching (1\u20139)",
        "Gene 10: number of segments (1\u20139)",
        "Gene 11: distance between segments, in pixels (-100 to 100)",
        "Gene 12: mirror symmetry: Bilat, both sides alike, or Asym",
        "Gene 13: rotational symmetry: Single, Double (two arms) or Radial (four arms)",
        "Gene 14: scaling, in percent of the branch lengths (-400 to 400)",
        "Gene 15: branch style: 0 line, 1 triangle, 2 line with a round tip, 3 leaf",
        "Gene 16: outline colour (0\u2013160)",
        "Gene 17: body colour (0\u2013160)",
        "Gene 18: line thickness, in pixels (-8 to 10)",
        "Gene 19: line tapering, thickness added at each branching (-4 to 10)",
    };
    return gene >= 1 && gene <= kGeneCount ? QString::fromUtf8(kTips[gene]) : QString();
}

QString GradientTip(int gene) {
    return QObject::tr("Gradient of gene %1: how the gene changes from one segment to the next")
        .arg(gene);
}

namespace {

// The help's section on a gene, split into the gene's part and its gradient's part, as rich
// text without pictures or links (a What's This window shows neither).
struct SGeneHelp {
    QString gene;
    QString gradient;
};

QString PlainSection(QString html) {
    static const QRegularExpression table(QStringLiteral("<table.*</table>"),
                                          QRegularExpression::DotMatchesEverythingOption |
                                              QRegularExpression::InvertedGreedinessOption);
    static const QRegularExpression anchor(QStringLiteral("</?a[^>]*>"));
    html.remove(table);
    html.remove(anchor);
    html.replace(QStringLiteral("<h3>"), QStringLiteral("<p><b>"));
    html.replace(QStringLiteral("</h3>"), QStringLiteral("</b></p>"));
    return html.trimmed();
}

const std::array<SGeneHelp, kGeneCount + 1>& GeneHelp() {
    static const std::array<SGeneHelp, kGeneCount + 1> help = [] {
        std::array<SGeneHelp, kGeneCount + 1> sections;
        QFile file(QStringLiteral(":/help/genes.html"));
        if (!file.open(QIODevice::ReadOnly)) {
            return sections;
        }
        const QString page = QString::fromUtf8(file.readAll());
        for (int k = 1; k <= kGeneCount; ++k) {
            const qsizetype start = page.lastIndexOf(
                QStringLiteral("<h3>"), page.indexOf(QStringLiteral("name=\"gene%1\"").arg(k)));
            if (start < 0) {
                continue;
            }
            qsizetype end = page.indexOf(QStringLiteral("<h"), start + 4);
            if (end < 0) {
                end = page.size();
            }
            const QString section = page.mid(start, end - start);
            const qsizetype gradient =
                section.indexOf(QStringLiteral("<p><a name=\"gradient%1\"").arg(k));
            sections[static_cast<size_t>(k)].gene = PlainSection(section.left(gradient));
            if (gradient >= 0) {
                sections[static_cast<size_t>(k)].gradient = PlainSection(section.mid(gradient));
            }
        }
        return sections;
    }();
    return help;
}

}  // namespace

QString GeneWhatsThis(int gene) {
    if (gene < 1 || gene > kGeneCount) {
        return QString();
    }
    const QString& text = GeneHelp()[static_cast<size_t>(gene)].gene;
    return text.isEmpty() ? GeneTip(gene) : text;
}

QString GradientWhatsThis(int gene) {
    if (gene < 1 || gene > kGeneCount) {
        return QString();
    }
    const QString& text = GeneHelp()[static_cast<size_t>(gene)].gradient;
    return text.isEmpty() ? GradientTip(gene)
                          : QStringLiteral("<p><b>%1</b></p>").arg(GradientTip(gene)) + text;
}
