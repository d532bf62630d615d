#pragma once
// The main window of the program.
#include <QMainWindow>

class TAV_HauptFormular : public QMainWindow {
    Q_OBJECT
public:
    explicit TAV_HauptFormular(QWidget* parent = nullptr);
    ~TAV_HauptFormular() override;
};

extern TAV_HauptFormular* AV_HauptFormular;
