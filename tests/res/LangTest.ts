<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name></name>
    <message id="104">
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message id="174">
        <source>0409#English (US)#English (US)</source>
        <translation>0409#English (US)#Inglés (EE. UU.)</translation>
    </message>
    <message id="menu.131.0">
        <source>&amp;Option</source>
        <translation>&amp;Opciones</translation>
    </message>
    <message id="dialog.102.1033">
        <source>Speak from file</source>
        <translation>Leer desde archivo</translation>
    </message>
</context>
</TS>
