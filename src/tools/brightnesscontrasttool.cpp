#include "brightnesscontrasttool.h"

#include <QWidget>

BrightnessContrastTool::BrightnessContrastTool(QObject *parent) : LVTool(parent) {}

QWidget *BrightnessContrastTool::widget()
{
    return new QWidget;
}

QString BrightnessContrastTool::title() const
{
    return tr("Brightness and Contrast");
}
