#pragma once

#include "employerstore.h"

#include <QDialog>
#include <QSqlRecord>

#include <memory>

struct AppContext;
class FieldExit;
class QComboBox;
class QLineEdit;
namespace Ui
{
class Tfrm_foglalk;
}

// The employer register: browse, record, change and delete the employers that file reports.
class Tfrm_foglalk : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { View, Modify, New };

    explicit Tfrm_foglalk(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_foglalk() override;

    Mode mode() const { return m_mode; }
    // The text of a masked field with its blanks as spaces ("    .  .  " when empty).
    static QString maskedText(const QLineEdit *edit);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fitNameRows();
    // Opening and modes.
    void FormShow();
    void enterView();
    bool enterNew();
    void UjClick();
    void ModositClick();
    void MentClick();
    void MegseClick();
    void TorolClick();
    void bbtn_visszaClick();
    void NyomtatClick();
    void closeSoon();

    // Lists.
    bool loadLists(bool newMode);
    void fillDistricts(QComboBox *combo);
    void selectDistrict(QComboBox *combo, const QString &code);
    QString districtCode(const QComboBox *combo) const;

    // The current employer.
    void loadEmployers(int selectId = -1);
    void showCurrent();
    const QSqlRecord *current() const;
    int currentId() const;

    // Field rules.
    void Mentheto();
    bool ed_cegnevExit();
    bool AzonositoExit();
    bool bankExit(QLineEdit *edit, bool grouped);
    bool ed_emailExit(QLineEdit *edit);
    bool med_alakulExit();
    bool med_vegeExit();
    struct Address {
        QLineEdit *postcode;
        QComboBox *settlement;
        QComboBox *streetType;
        QString *weight;
        QString *streetCode;
        bool *postcodeMark;
        bool *streetMark;
    };
    bool postcodeExit(const Address &a);
    void settlementChange(const Address &a);
    void streetTypeChange(const Address &a);
    void fundChange(QComboBox *combo, QString *code, bool *mark);
    void UgyanazClick(bool checked);
    void spn_kezdoChange(int value);
    void cmb_mazontipChange(int index);
    bool dbed_ado2Exit();
    bool dbed_ado3Exit();
    void dbed_ado3Change(const QString &text);

    // Saving.
    void saveNew();
    void saveModify();
    void Rogzit();
    QVariantMap newFields() const;
    void refreshPrisonService();

    void setEditable(bool modify);
    void message(const QString &text);

    std::unique_ptr<Ui::Tfrm_foglalk> ui;
    AppContext &m_context;
    EmployerStore m_store;
    FieldExit *m_exit = nullptr;
    Mode m_mode = Mode::View;
    QList<QSqlRecord> m_rows;
    QList<EmployerStore::CodeName> m_funds, m_streetTypes, m_districts;
    bool m_shown = false;
    bool m_filling = false;

    // New mode: chosen settlement variants, street type codes and county code.
    QString m_sulySz, m_sulyT, m_kterSz, m_kterT, m_megye;
    // Modify mode: the same, and the change marks.
    QString m_modSulySz, m_modSulyT, m_modKterSz, m_modKterT, m_modMegye, m_megyeBefore;
    bool m_chSzIrsz = false, m_chSzKter = false, m_chTIrsz = false, m_chTKter = false;
    bool m_chMep = false, m_chVege = false;
    bool m_modifyMark = false;
    bool m_startWarned = false;
};
