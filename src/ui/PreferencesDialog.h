#pragma once
// The "Preferences" dialog: ten pages under a tab set, "&Page>", OK and Cancel. It mirrors
// PreferencesModel's fields and forwards the clicks that act at once; the model decides.

#include "app/PreferencesModel.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTabBar;
class QComboBox;
class QDoubleSpinBox;

namespace kvui {

class ColourGrid;

// "COM 1 → /dev/ttyUSB0", "COM 2 → tcp://boat.local:10110", or why COM n names nothing here.
QString PortResolutionText(unsigned portNumber, const std::string& workingFolder);

class PreferencesDialog final : public QDialog {
    Q_OBJECT
public:
    PreferencesDialog(kv::PreferencesModel& model, std::string workingFolder, QWidget* parent = nullptr);

    // After a click that acted at once (the main window shows the new units and colours).
    std::function<void()> changedAtOnce;

    // Model → widgets, and back.
    void showFields();
    void readFields();
    void showPage(int page);
    QTabBar* tabs() const { return tabs_; }
    QLabel* portResolution() const { return port_; }

    void accept() override;

private:
    QWidget* addPage(const char* name);
    QSpinBox* spin(QGridLayout* grid, int row, const char* name, const QString& caption, const QString& suffix,
        int kv::PreferencesFields::*field);
    QCheckBox* check(QWidget* parent, const char* name, const QString& caption, bool kv::PreferencesFields::*field);
    QButtonGroup* radios(QWidget* box, const std::vector<std::pair<const char*, QString>>& buttons);
    void act(const std::function<void()>& op);
    void updateEnabling();
    void showStats();
    void showPort(int portNumber);
    void buildColour();
    void buildUnits();
    void buildNav();
    void buildTide();
    void buildChart();
    void buildLog();
    void buildDR();
    void buildStats();
    void buildAuto();
    void buildNmea();
    void buildAisSafety();
    // The alarm settings, a group on the AIS Safety page (PreferencesAlarms.cpp).
    QWidget* buildAlarmSettings(QWidget* page);

    kv::PreferencesModel& model_;
    std::string workingFolder_;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    bool showing_ = false;

    std::vector<std::pair<QSpinBox*, int kv::PreferencesFields::*>> spins_;
    std::vector<std::pair<QCheckBox*, bool kv::PreferencesFields::*>> checks_;
    std::vector<std::pair<QDoubleSpinBox*, double kv::PreferencesFields::*>> reals_;
    QComboBox* defaults_ = nullptr;
    ColourGrid* grid_ = nullptr;
    QButtonGroup* units_ = nullptr;
    QButtonGroup* positionModes_ = nullptr;
    QButtonGroup* completion_ = nullptr;
    QButtonGroup* disposal_ = nullptr;
    QButtonGroup* mspeed_ = nullptr;
    QButtonGroup* mcourse_ = nullptr;
    QButtonGroup* rate_ = nullptr;
    QButtonGroup* sent_ = nullptr;
    QLineEdit* logParse_ = nullptr;
    QLineEdit* browserPath_ = nullptr;
    QLineEdit* customNmea_ = nullptr;
    QLabel* port_ = nullptr;
    QLineEdit* source_ = nullptr;
    QPushButton* setSource_ = nullptr;
    std::vector<QLabel*> statLabels_;
};

} // namespace kvui
