#include "copytool.h"

#include <QWidget>

CopyTool::CopyTool(QObject *parent) : LVTool(parent)
{
    usesRect = true;
}

QWidget *CopyTool::widget()
{
    return new QWidget;
}

QString CopyTool::title() const
{
    return tr("Copy and Cut");
}

void CopyTool::reset()
{
    resetRect();
}
