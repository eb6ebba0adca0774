<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>Application</name>
    <message>
        <source>vireon: %1: no such file or folder
</source>
        <translation>vireon: %1: нет такого файла или папки
</translation>
    </message>
</context>
<context>
    <name>BrightnessContrastTool</name>
    <message>
        <source>Brightness and Contrast</source>
        <translation>Яркость и контраст</translation>
    </message>
    <message>
        <source>Auto Correction</source>
        <translation>Автокоррекция</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Яркость</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>Контраст</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Сбросить</translation>
    </message>
</context>
<context>
    <name>CopyTool</name>
    <message>
        <source>Copy and Cut</source>
        <translation>Копирование и вырезание</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Вырезать</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Сбросить</translation>
    </message>
</context>
<context>
    <name>CropTool</name>
    <message>
        <source>Crop</source>
        <translation>Обрезать</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Сбросить</translation>
    </message>
</context>
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
    <message>
        <source>Tree</source>
        <translation>Папки</translation>
    </message>
    <message>
        <source>Thumbnails</source>
        <translation>Эскизы</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Сортировка</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Инструменты</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Печать...</translation>
    </message>
    <message>
        <source>Print Pre&amp;view...</source>
        <translation>Пред&amp;варительный просмотр...</translation>
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
    <message>
        <source>It is not a regular file.</source>
        <translation>Это не обычный файл.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be saved in its own format.
Do you want to save the image as PNG under another name?</source>
        <translation>«%1» нельзя сохранить в его собственном формате.
Сохранить изображение как PNG под другим именем?</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Сохранить &amp;как...</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2</source>
        <translation>Не удалось записать файл %1:
%2</translation>
    </message>
</context>
<context>
    <name>RotateFlipTool</name>
    <message>
        <source>Rotate and Flip</source>
        <translation>Поворот и отражение</translation>
    </message>
    <message>
        <source>Rotate clockwise</source>
        <translation>Повернуть по часовой стрелке</translation>
    </message>
    <message>
        <source>Rotate counter clockwise</source>
        <translation>Повернуть против часовой стрелки</translation>
    </message>
    <message>
        <source>Horizontal flip</source>
        <translation>Отразить по горизонтали</translation>
    </message>
    <message>
        <source>Vertical flip</source>
        <translation>Отразить по вертикали</translation>
    </message>
    <message>
        <source>&amp;Sheet and all images</source>
        <translation>&amp;Лист и все изображения</translation>
    </message>
    <message>
        <source>S&amp;elected images</source>
        <translation>&amp;Выбранные изображения</translation>
    </message>
</context>
<context>
    <name>SelectTool</name>
    <message>
        <source>Select</source>
        <translation>Выделение</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Сгруппировать</translation>
    </message>
    <message>
        <source>Ungroup</source>
        <translation>Разгруппировать</translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>Status Bar</source>
        <translation>Строка состояния</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 МБ</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 КБ</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 Б</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1,%2 %3x%4</source>
        <translation>%1,%2 %3x%4</translation>
    </message>
    <message>
        <source>%1x%2</source>
        <translation>%1x%2</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message numerus="yes">
        <source>Total %n file(s) %1</source>
        <translation>
            <numerusform>Всего %n файл %1</numerusform>
            <numerusform>Всего %n файла %1</numerusform>
            <numerusform>Всего %n файлов %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Selected %n file(s) %1</source>
        <translation>
            <numerusform>Выбран %n файл %1</numerusform>
            <numerusform>Выбрано %n файла %1</numerusform>
            <numerusform>Выбрано %n файлов %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ThumbnailDelegate</name>
    <message>
        <source>Vireon</source>
        <translation>Vireon</translation>
    </message>
    <message>
        <source>&apos;%1&apos; already exists. Do you want to rename &apos;%2&apos; to &apos;%3&apos;?</source>
        <translation>«%1» уже существует. Переименовать «%2» в «%3»?</translation>
    </message>
</context>
<context>
    <name>ThumbnailListView</name>
    <message>
        <source>None</source>
        <translation>Без сортировки</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>По имени</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>По типу</translation>
    </message>
    <message>
        <source>Date and Time Modified</source>
        <translation>По дате и времени изменения</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>По размеру</translation>
    </message>
    <message>
        <source>Ascending</source>
        <translation>По возрастанию</translation>
    </message>
    <message>
        <source>Descending</source>
        <translation>По убыванию</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Сортировка</translation>
    </message>
    <message>
        <source>Open in New Window</source>
        <translation>Открыть в новом окне</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Copy Image</source>
        <translation>Копировать изображение</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>Are you sure you want to remove &quot;%1&quot; to trash?</source>
        <translation>Переместить «%1» в корзину?</translation>
    </message>
    <message numerus="yes">
        <source>Are you sure you want to remove %n file(s) to trash?</source>
        <translation>
            <numerusform>Переместить %n файл в корзину?</numerusform>
            <numerusform>Переместить %n файла в корзину?</numerusform>
            <numerusform>Переместить %n файлов в корзину?</numerusform>
        </translation>
    </message>
    <message>
        <source>Vireon</source>
        <translation>Vireon</translation>
    </message>
</context>
<context>
    <name>ThumbnailPanel</name>
    <message>
        <source>Thumbnails</source>
        <translation>Эскизы</translation>
    </message>
    <message>
        <source>Thumbnails - %1</source>
        <translation>Эскизы - %1</translation>
    </message>
</context>
</TS>
