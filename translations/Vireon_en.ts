<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>LVScene</name>
    <message>
        <source>Tarvex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not open a new file format.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;Open in New Window...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All graphic files (%1);;All files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MdiChild</name>
    <message>
        <source>All graphic files (%1);;All files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vireon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write file %1:
Error opening file for writing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start/Stop Slide Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
