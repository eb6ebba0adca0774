<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>LVAboutDialog</name>
    <message>
        <source>About %1 %2</source>
        <translation>О программе %1 %2</translation>
    </message>
    <message>
        <source>&lt;h1&gt;%1&lt;/h1&gt;</source>
        <translation>&lt;h1&gt;%1&lt;/h1&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;Version: %1&lt;/b&gt;&lt;p&gt;Technical support: &lt;a href=&quot;%2&quot;&gt;feedback page&lt;/a&gt;&lt;br&gt;Web: &lt;a href=&quot;%3&quot;&gt;%4&lt;/a&gt;</source>
        <translation>&lt;b&gt;Версия: %1&lt;/b&gt;&lt;p&gt;Техническая поддержка: &lt;a href=&quot;%2&quot;&gt;страница отзывов&lt;/a&gt;&lt;br&gt;Сайт: &lt;a href=&quot;%3&quot;&gt;%4&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Copyright © %1 %2</source>
        <translation>© %1 %2</translation>
    </message>
</context>
<context>
    <name>LVComboBox</name>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
</context>
<context>
    <name>LVMainWindow</name>
    <message>
        <source>WorkLanguage</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Открыть...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Сохранить &amp;как...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>&amp;Во весь экран</translation>
    </message>
    <message>
        <source>ZoomIn...</source>
        <translation>Увеличить</translation>
    </message>
    <message>
        <source>ZoomOut...</source>
        <translation>Уменьшить</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Вы&amp;резать</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Вст&amp;авить</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>Выделить &amp;всё</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>&amp;Raise</source>
        <translation>&amp;Поднять</translation>
    </message>
    <message>
        <source>&amp;Lower</source>
        <translation>&amp;Опустить</translation>
    </message>
    <message>
        <source>Lower to &amp;Bottom</source>
        <translation>Опустить в &amp;самый низ</translation>
    </message>
    <message>
        <source>Raise to &amp;Top</source>
        <translation>Поднять на сам&amp;ый верх</translation>
    </message>
    <message>
        <source>Cl&amp;ose</source>
        <translation>&amp;Закрыть</translation>
    </message>
    <message>
        <source>Close &amp;All</source>
        <translation>Закрыть &amp;все</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>&amp;Мозаикой</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>&amp;Каскадом</translation>
    </message>
    <message>
        <source>Ne&amp;xt</source>
        <translation>&amp;Следующее</translation>
    </message>
    <message>
        <source>Pre&amp;vious</source>
        <translation>&amp;Предыдущее</translation>
    </message>
    <message>
        <source>&amp;Project type</source>
        <translation>&amp;Тип проекта</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;О программе</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>Switch layout direction</source>
        <translation>Сменить направление письма</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Окно</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>Main Tools</source>
        <translation>Основные инструменты</translation>
    </message>
    <message>
        <source>MDI</source>
        <translation>MDI</translation>
    </message>
    <message>
        <source>SDI</source>
        <translation>SDI</translation>
    </message>
    <message>
        <source>&amp;%1 %2</source>
        <translation>&amp;%1 %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>File saved</source>
        <translation>Файл сохранён</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>The language change will take effect after a restart of %1.</source>
        <translation>Новый язык будет применён после перезапуска %1.</translation>
    </message>
</context>
<context>
    <name>LVMdiChild</name>
    <message>
        <source>form%1.tvf</source>
        <translation>form%1.tvf</translation>
    </message>
    <message>
        <source>&apos;%1&apos; has been modified.
Do you want to save your changes?</source>
        <translation>«%1» изменён.
Сохранить изменения?</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>Forms (*.tvf)</source>
        <translation>Формы (*.tvf)</translation>
    </message>
    <message>
        <source>Cannot print to %1.</source>
        <translation>Не удаётся печатать в %1.</translation>
    </message>
    <message>
        <source>Preparing pages...</source>
        <translation>Подготовка страниц...</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Отмена</translation>
    </message>
</context>
<context>
    <name>LVPageSetupDialog</name>
    <message>
        <source>Page Setup</source>
        <translation>Параметры страницы</translation>
    </message>
    <message>
        <source>Orientation and paper size</source>
        <translation>Ориентация и размер бумаги</translation>
    </message>
    <message>
        <source>Page:</source>
        <translation>Страница:</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Страница</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Книжная</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Альбомная</translation>
    </message>
    <message>
        <source>Paper size:</source>
        <translation>Размер бумаги:</translation>
    </message>
</context>
</TS>
