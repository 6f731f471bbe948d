<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name></name>
    <message id="100">
        <source>Kestrivane Basic</source>
        <translation>Kestrivane Básico</translation>
    </message>
    <message id="104">
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message id="111">
        <source>Speak</source>
        <translation>Hablar</translation>
    </message>
    <message id="117">
        <source>Volume: %d</source>
        <translation>Volumen: %d</translation>
    </message>
    <message id="menu.131.2">
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
</context>
</TS>
