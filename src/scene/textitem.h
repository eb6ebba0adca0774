#pragma once

#include "objectitem.h"

#include <QFont>
#include <QList>

// A text field of a form document: fragments of text at positions within the field.
class TextItem : public ObjectItem
{
public:
    struct Fragment {
        bool flag = false;
        QPointF pos;
        QString text;
    };

    explicit TextItem(QGraphicsItem *parent = nullptr);

    int type() const override { return TextType; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;
    bool read(QDataStream &in, int version) override;
    void writeFields(QDataStream &out) const override;

    // Inserts pasted text at the end of the field.
    void insertText(const QString &text);
    // Places the fragments one per line inside the field.
    void layoutText();

    QFont font;
    double lineHeight = 25.0;
    QList<Fragment> fragments;
};
