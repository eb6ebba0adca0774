#pragma once

#include "framework/lvmdichild.h"
#include "framework/lvscene.h"
#include "scene/pageitem.h"

#include <QBrush>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QUndoStack>

// A form document of A4 pages, each with a large block of its own colour in the middle and
// its number, so that a printed page shows which page of the scene it came from.
class FormDocument : public LVMdiChild
{
public:
    static QList<QColor> colours() { return { Qt::red, Qt::green, Qt::blue }; }

    explicit FormDocument(int pageCount = 3) : LVMdiChild(nullptr)
    {
        documentScene = new LVScene(this, nullptr);
        setScene(documentScene);
        newFile();
        for (int i = 1; i < pageCount; ++i)
            addPage();
        for (int i = 0; i < pageCount; ++i) {
            PageItem *page = documentScene->pages.at(i);
            const QRect block = page->rect.adjusted(100, 100, -100, -100);
            auto *rect = new QGraphicsRectItem(block, page);
            rect->setBrush(colours().value(i % 3));
            rect->setPen(Qt::NoPen);
            auto *label = new QGraphicsSimpleTextItem(QStringLiteral("Page %1").arg(i + 1), page);
            label->setPos(100, 40);
        }
        undoStack()->clear();
    }
};
