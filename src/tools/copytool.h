#pragma once

#include "framework/lvtool.h"

// Marks a rectangle of the document to copy to the clipboard or cut out of its images.
class CopyTool : public LVTool
{
    Q_OBJECT
public:
    explicit CopyTool(QObject *parent);

    QWidget *widget() override;
    int id() const override { return 10; }
    QString title() const override;

public slots:
    void reset() override;
};
