#include "app/AboutBox.h"

#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "document/BioFile.h"

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Quorvale"));
    setObjectName("aboutBox");
    auto* pictureLeft = new QLabel(this);
    pictureLeft->setPixmap(QPixmap(":/about/biomorph.png"));
    auto* pictureRight = new QLabel(this);
    pictureRight->setPixmap(QPixmap(":/about/logo.png"));

    auto* name = new QLabel(tr("<b>Quorvale</b>"), this);
    name->setObjectName("aboutName");
    auto* version = new QLabel(tr("Version %1").arg(kProgramVersion), this);
    version->setObjectName("aboutVersion");
    auto* copyright = new QLabel(tr("Copyright \u00A9 2026 the Quorvale developers"), this);

    auto* credits = new QFrame(this);
    credits->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* creditsLayout = new QVBoxLayout(credits);
    creditsLayout->addWidget(new QLabel(
        tr("Evolution by artificial selection, for the classroom and the curious."), credits));
    creditsLayout->addWidget(new QLabel(tr("Made with care by the Quorvale developers."), credits));
    creditsLayout->addWidget(new QLabel(
        tr("Ideas and reports are welcome through the project's issue tracker."), credits));

    auto* licence = new QLabel(tr("Quorvale is free software under the MIT License."), this);
    licence->setObjectName("aboutLicence");
    // The licence in full, as the package installs it: the notice travels with every copy.
    auto* licenceText = new QPlainTextEdit(this);
    licenceText->setObjectName("aboutLicenceText");
    licenceText->setReadOnly(true);
    licenceText->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFile licenceFile(QStringLiteral(":/about/LICENSE"));
    if (licenceFile.open(QIODevice::ReadOnly | QIODevice::Text)) {
        licenceText->setPlainText(QString::fromUtf8(licenceFile.readAll()));
    }
    licenceText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(licenceText->font());
    licenceText->setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('M')) * 84);
    licenceText->setFixedHeight(metrics.lineSpacing() * 8);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addWidget(copyright);
    text->addWidget(credits);
    text->addWidget(licence);
    text->addWidget(licenceText);

    auto* row = new QHBoxLayout(this);
    row->addWidget(pictureLeft, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    row->addWidget(pictureRight, 0, Qt::AlignTop);
    // No buttons: Esc or the close box closes it.
}
