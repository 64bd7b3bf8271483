#include "frame/SettingsDialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

struct SRow {
    const char* label;
    int gene;
    bool bHasPresent;
};

// In the order the dialog lists them; the segment distance sits under the segmentation.
constexpr SRow kRows[] = {
    {"Segmentation", 10, true},    {"   Segment distance", 11, false},
    {"Scaling", 14, true},         {"Branch style", 15, true},
    {"Outline colour", 16, true},  {"Body colour", 17, true},
    {"Line thickness", 18, true},  {"Line tapering", 19, true},
    {"Mirror symmetry", 12, true}, {"Rotational symmetry", 13, true},
};

}  // namespace

CSpecialGenesDlg::CSpecialGenesDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Special gene selector"));
    setObjectName("specialGenesDialog");
    auto* genes = new QGroupBox(tr("Gene"), this);
    auto* present = new QGroupBox(tr("Present"), this);
    auto* mutate = new QGroupBox(tr("Can Mutate"), this);
    auto* geneLayout = new QVBoxLayout(genes);
    auto* presentLayout = new QVBoxLayout(present);
    auto* mutateLayout = new QVBoxLayout(mutate);
    for (const SRow& row : kRows) {
        geneLayout->addWidget(new QLabel(tr(row.label), genes));
        if (row.bHasPresent) {
            auto* box = new QCheckBox(present);
            box->setObjectName(QString("present%1").arg(row.gene));
            box->setChecked(g_SpecialGenes[row.gene].bPresent != 0);
            presentLayout->addWidget(box);
            m_present[row.gene] = box;
            connect(box, &QCheckBox::clicked, this, [this] { ApplyEnablingRule(); });
        } else {
            presentLayout->addWidget(new QLabel(present));
        }
        auto* box = new QCheckBox(mutate);
        box->setObjectName(QString("mutate%1").arg(row.gene));
        box->setChecked(g_SpecialGenes[row.gene].bCanMutate != 0);
        mutateLayout->addWidget(box);
        m_mutate[row.gene] = box;
    }
    auto* columns = new QHBoxLayout;
    columns->addWidget(genes);
    columns->addWidget(present);
    columns->addWidget(mutate);
    m_pOk = new QPushButton(tr("Ok"), this);
    m_pOk->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pOk);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    ApplyEnablingRule();
}

void CSpecialGenesDlg::ApplyEnablingRule() {
    const bool bSegments = m_present[kGeneSegments]->isChecked();
    for (int gene : {kGeneSegments, kGeneSegmentDistance}) {
        if (!bSegments) {
            m_mutate[gene]->setChecked(false);
        }
        m_mutate[gene]->setEnabled(bSegments);
        m_mutate[gene]->setToolTip(
            bSegments ? QString()
                      : tr("Greyed: switch Present on for segmentation first; a gene that is not "
                           "expressed cannot mutate."));
    }
    for (int gene = 12; gene <= kGeneCount; ++gene) {
        const bool bPresent = m_present[gene]->isChecked();
        if (!bPresent) {
            m_mutate[gene]->setChecked(false);
        }
        m_mutate[gene]->setEnabled(bPresent);
        m_mutate[gene]->setToolTip(
            bPresent ? QString()
                     : tr("Greyed: switch Present on for this gene first; a gene that is not "
                          "expressed cannot mutate."));
    }
    m_pOk->setFocus();
}

CSpecialGeneChoices CSpecialGenesDlg::Choices() const {
    CSpecialGeneChoices choices = g_SpecialGenes;
    for (int gene = 10; gene <= kGeneCount; ++gene) {
        if (m_present[gene]) {
            choices[gene].bPresent = m_present[gene]->isChecked() ? 1 : 0;
        }
        choices[gene].bCanMutate = m_mutate[gene]->isChecked() ? 1 : 0;
    }
    return choices;
}

CMutationRateDlg::CMutationRateDlg(float rate, QWidget* parent) : QDialog(parent), m_fRate(rate) {
    setWindowTitle(tr("Global mutation rate"));
    setObjectName("mutationRateDialog");
    auto* text = new QLabel(tr("The global mutation rate affects all biomorphs. It governs the "
                               "amount each child differs from its parent."),
                            this);
    text->setWordWrap(true);
    m_pEdit = new QLineEdit(QString::number(static_cast<double>(rate)), this);
    m_pEdit->setObjectName("rateEdit");
    m_pEdit->setMaxLength(1);
    m_pEdit->setFixedWidth(m_pEdit->fontMetrics().horizontalAdvance("00") + 16);
    // The arrows sit against the box, each half its height, as a spin box's do.
    const int half = std::max(m_pEdit->sizeHint().height() / 2, 8);
    m_pEdit->setFixedHeight(2 * half);
    auto* up = new QToolButton(this);
    up->setObjectName("rateUp");
    up->setArrowType(Qt::UpArrow);
    up->setAutoRepeat(true);
    up->setFixedSize(2 * half - 2, half);
    auto* down = new QToolButton(this);
    down->setObjectName("rateDown");
    down->setArrowType(Qt::DownArrow);
    down->setAutoRepeat(true);
    down->setFixedSize(2 * half - 2, half);
    connect(up, &QToolButton::clicked, this, [this] { StepRate(1); });
    connect(down, &QToolButton::clicked, this, [this] { StepRate(-1); });
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(up);
    spin->addWidget(down);
    spin->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(m_pEdit);
    row->addLayout(spin);
    row->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(row);
    layout->addWidget(buttons);
    m_pEdit->setFocus();
    m_pEdit->selectAll();
}

void CMutationRateDlg::StepRate(int delta) {
    bool bOk = false;
    int value = m_pEdit->text().toInt(&bOk);
    if (!bOk) {
        value = static_cast<int>(m_fRate);
    }
    value = std::clamp(value + delta, 1, 5);
    m_pEdit->setText(QString::number(value));
}

void CMutationRateDlg::accept() {
    bool bOk = false;
    const float value = m_pEdit->text().trimmed().toFloat(&bOk);
    QString problem;
    if (!bOk) {
        problem = tr("Please enter a number.");
    } else if (value < 1.0f || value > 5.0f) {
        problem = tr("Please enter a number between %1 and %2.").arg(1).arg(5);
    }
    if (!problem.isEmpty()) {
        if (m_showMessage) {
            m_showMessage(problem);
        } else {
            QMessageBox::warning(this, QStringLiteral("Quorvale"), problem);
        }
        m_pEdit->setFocus();
        m_pEdit->selectAll();
        return;
    }
    m_fRate = value;
    QDialog::accept();
}

namespace {
bool IsHelpKey(QKeyEvent* event, const std::function<void()>& onHelp) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier && onHelp) {
        onHelp();
        return true;
    }
    return false;
}
}  // namespace

void CSpecialGenesDlg::keyPressEvent(QKeyEvent* event) {
    if (!IsHelpKey(event, m_onHelp)) {
        QDialog::keyPressEvent(event);
    }
}

void CMutationRateDlg::keyPressEvent(QKeyEvent* event) {
    if (!IsHelpKey(event, m_onHelp)) {
        QDialog::keyPressEvent(event);
    }
}

std::optional<CSpecialGeneChoices> RunSpecialGenesDialog(QWidget* parent,
                                                         const std::function<void()>& onHelp) {
    CSpecialGenesDlg dialog(parent);
    dialog.m_onHelp = onHelp;
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choices();
}

std::optional<float> RunMutationRateDialog(QWidget* parent, float rate,
                                           const std::function<void()>& onHelp) {
    CMutationRateDlg dialog(rate, parent);
    dialog.m_onHelp = onHelp;
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Rate();
}
