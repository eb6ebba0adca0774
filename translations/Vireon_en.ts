<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Application</name>
    <message>
        <source>vireon: %1: no such file or folder
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BrightnessContrastTool</name>
    <message>
        <source>Brightness and Contrast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CopyTool</name>
    <message>
        <source>Copy and Cut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CropTool</name>
    <message>
        <source>Crop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
</context>
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
    <message>
        <source>Tree</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thumbnails</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Pre&amp;view...</source>
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
    <message>
        <source>It is not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be saved in its own format.
Do you want to save the image as PNG under another name?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RotateFlipTool</name>
    <message>
        <source>Rotate and Flip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotate clockwise</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotate counter clockwise</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal flip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical flip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Sheet and all images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;elected images</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SelectTool</name>
    <message>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ungroup</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>Status Bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1,%2 %3x%4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1x%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Total %n file(s) %1</source>
        <translation>
            <numerusform>Total %n file %1</numerusform>
            <numerusform>Total %n files %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Selected %n file(s) %1</source>
        <translation>
            <numerusform>Selected %n file %1</numerusform>
            <numerusform>Selected %n files %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ThumbnailDelegate</name>
    <message>
        <source>Vireon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; already exists. Do you want to rename &apos;%2&apos; to &apos;%3&apos;?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThumbnailListView</name>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date and Time Modified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ascending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Descending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open in New Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to remove &quot;%1&quot; to trash?</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Are you sure you want to remove %n file(s) to trash?</source>
        <translation>
            <numerusform>Are you sure you want to remove %n file to trash?</numerusform>
            <numerusform>Are you sure you want to remove %n files to trash?</numerusform>
        </translation>
    </message>
    <message>
        <source>Vireon</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThumbnailPanel</name>
    <message>
        <source>Thumbnails</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thumbnails - %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
