<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Marker</name>
    <message>
        <source>which</source>
        <translation>qtpropertybrowser</translation>
    </message>
</context>
</TS>
