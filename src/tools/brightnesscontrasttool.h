#pragma once

#include "framework/lvtool.h"

// Adjusts the brightness and contrast of the document's images.
class BrightnessContrastTool : public LVTool
{
    Q_OBJECT
public:
    explicit BrightnessContrastTool(QObject *parent);

    QWidget *widget() override;
    int id() const override { return 9; }
    QString title() const override;
};
