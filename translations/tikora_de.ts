<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutWindow</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>AlarmEditor</name>
    <message>
        <source>Rows</source>
        <translation>Zeilen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leer</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Dat.</translation>
    </message>
    <message>
        <source>Tikoraer Messages</source>
        <translation>Tikora-Meldungen</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Tägl.</translation>
    </message>
    <message>
        <source>Wkly</source>
        <translation>Wöch.</translation>
    </message>
    <message>
        <source>Mnly</source>
        <translation>Mntl.</translation>
    </message>
    <message>
        <source>CLEAR THIS ROW</source>
        <translation>DIESE ZEILE LEEREN</translation>
    </message>
    <message>
        <source>Clear row %1</source>
        <translation>Zeile %1 leeren</translation>
    </message>
    <message>
        <source>Row %1 date</source>
        <translation>Zeile %1 Datum</translation>
    </message>
    <message>
        <source>Row %1 message</source>
        <translation>Zeile %1 Meldung</translation>
    </message>
    <message>
        <source>Row %1 time</source>
        <translation>Zeile %1 Zeit</translation>
    </message>
    <message>
        <source>Row %1 daily</source>
        <translation>Zeile %1 täglich</translation>
    </message>
    <message>
        <source>Row %1 weekly</source>
        <translation>Zeile %1 wöchentlich</translation>
    </message>
    <message>
        <source>Row %1 monthly</source>
        <translation>Zeile %1 monatlich</translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation>Töne</translation>
    </message>
    <message>
        <source>Play %1</source>
        <translation>%1 abspielen</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Alert1</source>
        <translation>Alarm1</translation>
    </message>
    <message>
        <source>Alert2</source>
        <translation>Alarm2</translation>
    </message>
    <message>
        <source>Alert3</source>
        <translation>Alarm3</translation>
    </message>
</context>
<context>
    <name>AlarmEngine</name>
    <message>
        <source>The record of open alerts (%1) could not be saved: %2</source>
        <translation>Die Liste der offenen Alarme (%1) konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>The TIME you entered was not valid.</source>
        <translation>Die eingegebene ZEIT war ungültig.</translation>
    </message>
    <message>
        <source>The DATE you entered was not valid.</source>
        <translation>Das eingegebene DATUM war ungültig.</translation>
    </message>
</context>
<context>
    <name>AlarmStore</name>
    <message>
        <source>Tikor.dat could not be saved: %1</source>
        <translation>Tikor.dat konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>PROBLEM WITH SAVED FILE.<byte value="xd"/>
FIND AND DELETE   Tikor.dat<byte value="xd"/>
A NEW ONE WILL BE CREATED.</source>
        <translation>PROBLEM MIT DER GESPEICHERTEN DATEI.<byte value="xd"/>
Tikor.dat SUCHEN UND LÖSCHEN<byte value="xd"/>
EINE NEUE WIRD ANGELEGT.</translation>
    </message>
</context>
<context>
    <name>AlertWindow</name>
    <message>
        <source>S&amp;nooze</source>
        <translation>Sch&amp;lummern</translation>
    </message>
    <message>
        <source>&amp;5 minutes</source>
        <translation>&amp;5 Minuten</translation>
    </message>
    <message>
        <source>1&amp;0 minutes</source>
        <translation>1&amp;0 Minuten</translation>
    </message>
    <message>
        <source>1&amp;5 minutes</source>
        <translation>1&amp;5 Minuten</translation>
    </message>
    <message>
        <source>&amp;30 minutes</source>
        <translation>&amp;30 Minuten</translation>
    </message>
    <message>
        <source>1 &amp;hour</source>
        <translation>1 &amp;Stunde</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>&amp;Stellen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
</context>
<context>
    <name>DatePicker</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Snooze 5 minutes</source>
        <translation>5 Minuten schlummern</translation>
    </message>
</context>
<context>
    <name>MenuCommands</name>
    <message>
        <source>Tikora could not find its help page.</source>
        <translation>Tikora hat seine Hilfeseite nicht gefunden.</translation>
    </message>
    <message>
        <source>Tikora could not open its help page: no program to show it was found, or it failed. The page can be opened in a web browser:
%1</source>
        <translation>Tikora konnte seine Hilfeseite nicht öffnen: Kein Programm zum Anzeigen wurde gefunden, oder es schlug fehl. Die Seite lässt sich in einem Webbrowser öffnen:
%1</translation>
    </message>
</context>
<context>
    <name>SingleCopy</name>
    <message>
        <source>Tikora cannot keep its alarms here: %1.</source>
        <translation>Tikora kann seine Alarme hier nicht aufbewahren: %1.</translation>
    </message>
    <message>
        <source>Tikora cannot make sure it runs only once here: %1.</source>
        <translation>Tikora kann hier nicht sicherstellen, dass es nur einmal läuft: %1.</translation>
    </message>
    <message>
        <source>Tikora is already running in this folder.</source>
        <translation>Tikora läuft in diesem Ordner bereits.</translation>
    </message>
</context>
<context>
    <name>Tikora</name>
    <message>
        <source>Tikora has met an unexpected problem and must close.
%1</source>
        <translation>Tikora ist auf ein unerwartetes Problem gestoßen und muss beendet werden.
%1</translation>
    </message>
</context>
<context>
    <name>TimePicker</name>
    <message>
        <source>&amp;Accept</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;NOW</source>
        <translation>&amp;JETZT</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbruch</translation>
    </message>
</context>
<context>
    <name>TrayMenu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Tikora</source>
        <translation>&amp;Tikora</translation>
    </message>
    <message>
        <source>&amp;Set Alarm</source>
        <translation>&amp;Wecker stellen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>B&amp;eenden</translation>
    </message>
</context>
</TS>
