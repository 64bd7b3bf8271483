#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <functional>
#include <optional>

#include "document/QuorvaleDoc.h"

// The "Special gene selector": which of genes 10-19 are expressed (Present) and which may
// mutate (Can Mutate).
class CSpecialGenesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSpecialGenesDlg(QWidget* parent = nullptr);
    // The choices as the boxes show them.
    CSpecialGeneChoices Choices() const;
    QCheckBox* PresentBox(int gene) const { return m_present[gene]; }
    QCheckBox* MutateBox(int gene) const { return m_mutate[gene]; }
    QPushButton* OkButton() const { return m_pOk; }
    // A Can Mutate box is usable only while its gene is present.
    void ApplyEnablingRule();
    // F1 inside the dialog (the window's own keys do not reach a modal dialog).
    std::function<void()> m_onHelp;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::array<QCheckBox*, kGeneCount + 1> m_present{};
    std::array<QCheckBox*, kGeneCount + 1> m_mutate{};
    QPushButton* m_pOk = nullptr;
};

// "Global mutation rate": a one-character box from 1 to 5 with an up-down control.
class CMutationRateDlg : public QDialog {
    Q_OBJECT

public:
    CMutationRateDlg(float rate, QWidget* parent = nullptr);
    float Rate() const { return m_fRate; }
    QLineEdit* Edit() const { return m_pEdit; }
    void accept() override;
    // Where validation messages go (a message box unless a test replaces it).
    std::function<void(const QString&)> m_showMessage;
    std::function<void()> m_onHelp;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void StepRate(int delta);

    float m_fRate;
    QLineEdit* m_pEdit = nullptr;
};

// Each dialog answers F1 through onHelp (the window's own keys do not reach a modal dialog).
std::optional<CSpecialGeneChoices> RunSpecialGenesDialog(QWidget* parent,
                                                         const std::function<void()>& onHelp = {});
std::optional<float> RunMutationRateDialog(QWidget* parent, float rate,
                                           const std::function<void()>& onHelp = {});
