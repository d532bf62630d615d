#include "evaluation/forms/AV_Haupt.h"

TAV_HauptFormular* AV_HauptFormular = nullptr;

TAV_HauptFormular::TAV_HauptFormular(QWidget* parent)
    : QMainWindow(parent)
{
    AV_HauptFormular = this;
    setWindowTitle(QStringLiteral("Valdran: Auswertung von Archivdateien"));
}

TAV_HauptFormular::~TAV_HauptFormular()
{
    if (AV_HauptFormular == this)
        AV_HauptFormular = nullptr;
}
