<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>LVScene</name>
    <message>
        <source>Tarvex</source>
        <translation>Tarvex</translation>
    </message>
    <message>
        <source>Could not open a new file format.</source>
        <translation>Не удалось открыть файл нового формата.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;Open in New Window...</source>
        <translation>&amp;Открыть в новом окне...</translation>
    </message>
    <message>
        <source>All graphic files (%1);;All files (*.*)</source>
        <translation>Все графические файлы (%1);;Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
</context>
<context>
    <name>MdiChild</name>
    <message>
        <source>All graphic files (%1);;All files (*.*)</source>
        <translation>Все графические файлы (%1);;Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>Vireon</source>
        <translation>Vireon</translation>
    </message>
    <message>
        <source>Cannot write file %1:
Error opening file for writing.</source>
        <translation>Не удалось записать файл %1:
ошибка открытия файла для записи.</translation>
    </message>
    <message>
        <source>Start/Stop Slide Show</source>
        <translation>Запустить/остановить слайд-шоу</translation>
    </message>
    <message>
        <source>Next Image</source>
        <translation>Следующее изображение</translation>
    </message>
    <message>
        <source>Previous Image</source>
        <translation>Предыдущее изображение</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
</context>
</TS>
