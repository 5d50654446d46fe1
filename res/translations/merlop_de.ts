<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AtomicFile</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>Calibration</name>
    <message>
        <source>Calibration will take %1 seconds</source>
        <translation>Die Kalibrierung dauert %1 Sekunden</translation>
    </message>
    <message>
        <source>measured deviation = %1 Cents</source>
        <translation>gemessene Abweichung = %1 Cent</translation>
    </message>
    <message>
        <source>Update Calibration ?</source>
        <translation>Kalibrierung übernehmen?</translation>
    </message>
    <message>
        <source>Calibration  %1 seconds</source>
        <translation>Kalibrierung  %1 Sekunden</translation>
    </message>
    <message>
        <source>Calibration starting </source>
        <translation>Kalibrierung beginnt </translation>
    </message>
</context>
<context>
    <name>CaptureRun</name>
    <message>
        <source>Sound device error </source>
        <translation>Fehler des Audiogeräts </translation>
    </message>
    <message>
        <source>open failed</source>
        <translation>Öffnen fehlgeschlagen</translation>
    </message>
    <message>
        <source>wave input device error </source>
        <translation>Fehler des Aufnahmegeräts </translation>
    </message>
    <message>
        <source>stop failed </source>
        <translation>Anhalten fehlgeschlagen </translation>
    </message>
    <message>
        <source>record failed </source>
        <translation>Aufnahme fehlgeschlagen </translation>
    </message>
    <message>
        <source>close failed </source>
        <translation>Schließen fehlgeschlagen </translation>
    </message>
</context>
<context>
    <name>ConfigFolder</name>
    <message>
        <source>%1 is not a folder. Merlop keeps its settings in a folder; set MERLOP_CONFIG_DIR to one.</source>
        <translation>%1 ist kein Ordner. Merlop speichert seine Einstellungen in einem Ordner; setzen Sie MERLOP_CONFIG_DIR auf einen Ordner.</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>kein Ordner</translation>
    </message>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Cannot create %1: %2</source>
        <translation>%1 kann nicht angelegt werden: %2</translation>
    </message>
</context>
<context>
    <name>DesktopDialogs</name>
    <message>
        <source>Open Wave file</source>
        <translation>Wave-Datei öffnen</translation>
    </message>
    <message>
        <source>Wave files (*.wav *.WAV);;All files (*)</source>
        <translation>Wave-Dateien (*.wav *.WAV);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Comma delimited files (*.csv)</source>
        <translation>Kommagetrennte Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Import Scala Scale</source>
        <translation>Scala-Skala importieren</translation>
    </message>
    <message>
        <source>Scala scales (*.scl *.SCL);;All files (*)</source>
        <translation>Scala-Skalen (*.scl *.SCL);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Export Scala Scale</source>
        <translation>Scala-Skala exportieren</translation>
    </message>
    <message>
        <source>Scala scales (*.scl)</source>
        <translation>Scala-Skalen (*.scl)</translation>
    </message>
</context>
<context>
    <name>EarTraining</name>
    <message>
        <source>Ear training</source>
        <translation>Gehörbildung</translation>
    </message>
    <message>
        <source>Listen</source>
        <translation>Zuhören</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Nachspielen</translation>
    </message>
    <message>
        <source>Ear training: set Number of Notes to at least 1</source>
        <translation>Gehörbildung: Setzen Sie „Anzahl Töne“ auf mindestens 1</translation>
    </message>
    <message>
        <source>Ear training: set the Tempo between 30 and 200</source>
        <translation>Gehörbildung: Setzen Sie das „Tempo“ auf einen Wert zwischen 30 und 200</translation>
    </message>
    <message>
        <source>Ear training: the Range must run from a lower to a higher note</source>
        <translation>Gehörbildung: Der „Bereich“ muss von einem tieferen zu einem höheren Ton reichen</translation>
    </message>
    <message>
        <source>Ear training: no note of the Scale lies in the Range. Widen the Range or choose another Scale or Key</source>
        <translation>Gehörbildung: Kein Ton der „Tonleiter“ liegt im „Bereich“. Erweitern Sie den Bereich oder wählen Sie eine andere Tonleiter oder einen anderen Ton</translation>
    </message>
    <message>
        <source>Ear training: the Range holds only one note of the Scale. Widen the Range or set Number of Notes to 1</source>
        <translation>Gehörbildung: Der „Bereich“ enthält nur einen Ton der „Tonleiter“. Erweitern Sie den Bereich oder setzen Sie „Anzahl Töne“ auf 1</translation>
    </message>
    <message>
        <source>Ear training: the Maximum Interval is smaller than every step of the Scale in the Range. Raise the Maximum Interval</source>
        <translation>Gehörbildung: Das „Größte Intervall“ ist kleiner als jeder Schritt der Tonleiter im Bereich. Vergrößern Sie das größte Intervall</translation>
    </message>
</context>
<context>
    <name>FrameBars</name>
    <message>
        <source>Chromatic Tuner</source>
        <translation>Chromatisches Stimmgerät</translation>
    </message>
    <message>
        <source>Chromatic Tuner - on/off</source>
        <translation>Chromatisches Stimmgerät - ein/aus</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <source>Spectrum </source>
        <translation>Spektrum </translation>
    </message>
    <message>
        <source>Spectrum display - on/off</source>
        <translation>Spektrumanzeige - ein/aus</translation>
    </message>
    <message>
        <source>Wave form</source>
        <translation>Wellenform</translation>
    </message>
    <message>
        <source>Wave form display - on/off </source>
        <translation>Wellenformanzeige - ein/aus </translation>
    </message>
    <message>
        <source>Strobe</source>
        <translation>Stroboskop</translation>
    </message>
    <message>
        <source>Strobe under the tuner - on/off</source>
        <translation>Stroboskop unter dem Stimmgerät - ein/aus</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Pause or resume </source>
        <translation>Anhalten oder fortsetzen </translation>
    </message>
    <message>
        <source>Ear training</source>
        <translation>Gehörbildung</translation>
    </message>
    <message>
        <source>Ear training - on/off</source>
        <translation>Gehörbildung - ein/aus</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source> Skip </source>
        <translation> Weiter </translation>
    </message>
    <message>
        <source>Advance to next note or ear training exercise</source>
        <translation>Weiter zur nächsten Note oder Übung der Gehörbildung</translation>
    </message>
    <message>
        <source>Custom tuning</source>
        <translation>Eigene Stimmung</translation>
    </message>
    <message>
        <source> Custom tuning</source>
        <translation> Eigene Stimmung</translation>
    </message>
    <message>
        <source>Custom tuning  on/off</source>
        <translation>Eigene Stimmung  ein/aus</translation>
    </message>
    <message>
        <source>Open Wave file</source>
        <translation>Wave-Datei öffnen</translation>
    </message>
    <message>
        <source>Open a Wave file</source>
        <translation>Öffnet eine Wave-Datei</translation>
    </message>
    <message>
        <source>Save Spectrum</source>
        <translation>Spektrum speichern</translation>
    </message>
    <message>
        <source>Save Spectrum readings</source>
        <translation>Speichert die Messwerte des Spektrums</translation>
    </message>
    <message>
        <source>Import Scala Scale…</source>
        <translation>Scala-Skala importieren…</translation>
    </message>
    <message>
        <source>Adds a Scala scale as a temperament or a custom tuning</source>
        <translation>Fügt eine Scala-Skala als Temperatur oder als eigene Stimmung hinzu</translation>
    </message>
    <message>
        <source>Export Scala Scale…</source>
        <translation>Scala-Skala exportieren…</translation>
    </message>
    <message>
        <source>Writes the temperament in use as a Scala scale, for other programs</source>
        <translation>Schreibt die verwendete Temperatur als Scala-Skala, für andere Programme</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save documents</source>
        <translation>Beendet das Programm; fragt, ob Dokumente gespeichert werden sollen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Input Level</source>
        <translation>Eingangspegel</translation>
    </message>
    <message>
        <source>Shows the input level and whether the tuner hears a note</source>
        <translation>Zeigt den Eingangspegel und ob das Stimmgerät eine Note hört</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>The tuner alone fills the screen</source>
        <translation>Das Stimmgerät füllt allein den Bildschirm</translation>
    </message>
    <message>
        <source>Input Device…</source>
        <translation>Eingabegerät…</translation>
    </message>
    <message>
        <source>Chooses the microphone or input to listen to</source>
        <translation>Wählt das Mikrofon oder den Eingang, dem zugehört wird</translation>
    </message>
    <message>
        <source>Hold</source>
        <translation>Halten</translation>
    </message>
    <message>
        <source>Holds the tuner&apos;s reading - on/off (H)</source>
        <translation>Hält die Anzeige des Stimmgeräts fest - ein/aus (H)</translation>
    </message>
    <message>
        <source>Hold (H)</source>
        <translation>Halten (H)</translation>
    </message>
    <message>
        <source>Measure Inharmonicity…</source>
        <translation>Inharmonizität messen…</translation>
    </message>
    <message>
        <source>Measures how far a piano string&apos;s partials run sharp</source>
        <translation>Misst, wie weit die Teiltöne einer Klaviersaite zu hoch liegen</translation>
    </message>
    <message>
        <source>Create Stretched Tuning…</source>
        <translation>Gespreizte Stimmung erstellen…</translation>
    </message>
    <message>
        <source>Makes a piano tuning stretched for the keys measured</source>
        <translation>Erstellt eine für die gemessenen Tasten gespreizte Klavierstimmung</translation>
    </message>
    <message>
        <source>Clear Inharmonicity Measurements</source>
        <translation>Inharmonizitätsmessungen löschen</translation>
    </message>
    <message>
        <source>Forgets the piano keys measured</source>
        <translation>Vergisst die gemessenen Klaviertasten</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>Kalibrierung</translation>
    </message>
    <message>
        <source>Automatic Sensitivity</source>
        <translation>Automatische Empfindlichkeit</translation>
    </message>
    <message>
        <source>The level threshold follows the noise of the input</source>
        <translation>Die Pegelschwelle folgt dem Rauschen des Eingangs</translation>
    </message>
    <message>
        <source>Keep Listening in Background</source>
        <translation>Im Hintergrund weiter zuhören</translation>
    </message>
    <message>
        <source>The tuner listens on while another window has the focus</source>
        <translation>Das Stimmgerät hört weiter zu, während ein anderes Fenster den Fokus hat</translation>
    </message>
    <message>
        <source>In-Tune Colour</source>
        <translation>Farbe bei sauberem Ton</translation>
    </message>
    <message>
        <source>The meter turns green while the note is in tune</source>
        <translation>Die Anzeige wird grün, solange die Note sauber gestimmt ist</translation>
    </message>
    <message>
        <source>In-Tune Tolerance…</source>
        <translation>Toleranz für sauberen Ton…</translation>
    </message>
    <message>
        <source>How close to its note a reading counts as in tune</source>
        <translation>Wie nah an ihrer Note eine Messung als sauber gilt</translation>
    </message>
    <message>
        <source>Add Preset Tuning…</source>
        <translation>Vorgegebene Stimmung hinzufügen…</translation>
    </message>
    <message>
        <source>Adds a common bass, ukulele, string or guitar tuning to the tunings</source>
        <translation>Fügt den Stimmungen eine gängige Bass-, Ukulele-, Streicher- oder Gitarrenstimmung hinzu</translation>
    </message>
    <message>
        <source>&amp;Help Contents</source>
        <translation>&amp;Inhalt der Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Merlop</source>
        <translation>Ü&amp;ber Merlop</translation>
    </message>
    <message>
        <source>What&apos;s This?</source>
        <translation>Direkthilfe</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
</context>
<context>
    <name>GmPrograms</name>
    <message>
        <source>Acou.Piano</source>
        <translation>Akustischer Flügel</translation>
    </message>
    <message>
        <source>Bright Piano</source>
        <translation>Helles Klavier</translation>
    </message>
    <message>
        <source>Electric Piano</source>
        <translation>Elektrischer Flügel</translation>
    </message>
    <message>
        <source>Honky Tong</source>
        <translation>Honky-Tonk-Klavier</translation>
    </message>
    <message>
        <source>Rhodes Piano</source>
        <translation>Rhodes-Piano</translation>
    </message>
    <message>
        <source>Chorused Piano</source>
        <translation>Chorus-Piano</translation>
    </message>
    <message>
        <source>Harpischord</source>
        <translation>Cembalo</translation>
    </message>
    <message>
        <source>Clavinet</source>
        <translation>Clavinet</translation>
    </message>
    <message>
        <source>Celestra</source>
        <translation>Celesta</translation>
    </message>
    <message>
        <source>Glockenspiel</source>
        <translation>Glockenspiel</translation>
    </message>
    <message>
        <source>Music Box</source>
        <translation>Spieluhr</translation>
    </message>
    <message>
        <source>Vibrophone</source>
        <translation>Vibraphon</translation>
    </message>
    <message>
        <source>Marimba</source>
        <translation>Marimbaphon</translation>
    </message>
    <message>
        <source>Xylophone</source>
        <translation>Xylophon</translation>
    </message>
    <message>
        <source>Tabular Bells</source>
        <translation>Röhrenglocken</translation>
    </message>
    <message>
        <source>Dulcimer</source>
        <translation>Hackbrett</translation>
    </message>
    <message>
        <source>Hammond Organ</source>
        <translation>Hammondorgel</translation>
    </message>
    <message>
        <source>Percus.Organ</source>
        <translation>Perkussive Orgel</translation>
    </message>
    <message>
        <source>Rock Organ</source>
        <translation>Rockorgel</translation>
    </message>
    <message>
        <source>Church Organ</source>
        <translation>Kirchenorgel</translation>
    </message>
    <message>
        <source>Reed</source>
        <translation>Harmonium</translation>
    </message>
    <message>
        <source>Accordion</source>
        <translation>Akkordeon</translation>
    </message>
    <message>
        <source>Harmonica</source>
        <translation>Mundharmonika</translation>
    </message>
    <message>
        <source>Bandneon</source>
        <translation>Bandoneon</translation>
    </message>
    <message>
        <source>Nylon Guitar</source>
        <translation>Nylongitarre</translation>
    </message>
    <message>
        <source>Acous.Guitar</source>
        <translation>Westerngitarre</translation>
    </message>
    <message>
        <source>Jazz Guitar</source>
        <translation>Jazzgitarre</translation>
    </message>
    <message>
        <source>El.Guitar</source>
        <translation>E-Gitarre</translation>
    </message>
    <message>
        <source>El.Guitar muted</source>
        <translation>E-Gitarre gedämpft</translation>
    </message>
    <message>
        <source>Overdr.Guitar</source>
        <translation>Overdrive-Gitarre</translation>
    </message>
    <message>
        <source>Dist. Guitar</source>
        <translation>Verzerrte Gitarre</translation>
    </message>
    <message>
        <source>Harmonics</source>
        <translation>Flageolett-Gitarre</translation>
    </message>
    <message>
        <source>Acou.Base</source>
        <translation>Akustischer Bass</translation>
    </message>
    <message>
        <source>Finger Bass</source>
        <translation>E-Bass Finger</translation>
    </message>
    <message>
        <source>Picked Bass</source>
        <translation>E-Bass Plektrum</translation>
    </message>
    <message>
        <source>Fretless Bass</source>
        <translation>Bundloser Bass</translation>
    </message>
    <message>
        <source>Slap Bass1</source>
        <translation>Slap-Bass 1</translation>
    </message>
    <message>
        <source>Slap Bass 2</source>
        <translation>Slap-Bass 2</translation>
    </message>
    <message>
        <source>Syn Bass 1</source>
        <translation>Synth-Bass 1</translation>
    </message>
    <message>
        <source>Syn Bass 2</source>
        <translation>Synth-Bass 2</translation>
    </message>
    <message>
        <source>Violin</source>
        <translation>Violine</translation>
    </message>
    <message>
        <source>Viola</source>
        <translation>Viola</translation>
    </message>
    <message>
        <source>Cello</source>
        <translation>Violoncello</translation>
    </message>
    <message>
        <source>Contra Bass</source>
        <translation>Kontrabass</translation>
    </message>
    <message>
        <source>Tremolo Str.</source>
        <translation>Tremolo-Streicher</translation>
    </message>
    <message>
        <source>Pizzicato Str</source>
        <translation>Pizzicato-Streicher</translation>
    </message>
    <message>
        <source>Harp</source>
        <translation>Harfe</translation>
    </message>
    <message>
        <source>Timpani</source>
        <translation>Pauken</translation>
    </message>
    <message>
        <source>Strings</source>
        <translation>Streicher</translation>
    </message>
    <message>
        <source>Slow Strings</source>
        <translation>Langsame Streicher</translation>
    </message>
    <message>
        <source>Syn String 1</source>
        <translation>Synth-Streicher 1</translation>
    </message>
    <message>
        <source>Syn String 2</source>
        <translation>Synth-Streicher 2</translation>
    </message>
    <message>
        <source>Choir Aahs</source>
        <translation>Chor Aahs</translation>
    </message>
    <message>
        <source>Voice Oohs</source>
        <translation>Stimmen Oohs</translation>
    </message>
    <message>
        <source>Syn Voice</source>
        <translation>Synth-Stimme</translation>
    </message>
    <message>
        <source>Orch Hit</source>
        <translation>Orchesterschlag</translation>
    </message>
    <message>
        <source>Trumpet</source>
        <translation>Trompete</translation>
    </message>
    <message>
        <source>Trombone</source>
        <translation>Posaune</translation>
    </message>
    <message>
        <source>Tuba</source>
        <translation>Tuba</translation>
    </message>
    <message>
        <source>Mute Trump</source>
        <translation>Gedämpfte Trompete</translation>
    </message>
    <message>
        <source>French Horn</source>
        <translation>Waldhorn</translation>
    </message>
    <message>
        <source>Brass Sect</source>
        <translation>Blechbläser</translation>
    </message>
    <message>
        <source>Syn Brass 1</source>
        <translation>Synth-Bläser 1</translation>
    </message>
    <message>
        <source>Syn Brass 2</source>
        <translation>Synth-Bläser 2</translation>
    </message>
    <message>
        <source>Soprano Sax</source>
        <translation>Sopransaxophon</translation>
    </message>
    <message>
        <source>Alto Sax</source>
        <translation>Altsaxophon</translation>
    </message>
    <message>
        <source>Tenor Sax</source>
        <translation>Tenorsaxophon</translation>
    </message>
    <message>
        <source>Baritone Sax</source>
        <translation>Baritonsaxophon</translation>
    </message>
    <message>
        <source>Oboe</source>
        <translation>Oboe</translation>
    </message>
    <message>
        <source>English Horn</source>
        <translation>Englischhorn</translation>
    </message>
    <message>
        <source>Bassoon</source>
        <translation>Fagott</translation>
    </message>
    <message>
        <source>Clarinet</source>
        <translation>Klarinette</translation>
    </message>
    <message>
        <source>Piccolo</source>
        <translation>Piccoloflöte</translation>
    </message>
    <message>
        <source>Flute</source>
        <translation>Querflöte</translation>
    </message>
    <message>
        <source>Recorder</source>
        <translation>Blockflöte</translation>
    </message>
    <message>
        <source>Pan Flute</source>
        <translation>Panflöte</translation>
    </message>
    <message>
        <source>Blow Bottle</source>
        <translation>Flaschenflöte</translation>
    </message>
    <message>
        <source>Shakuhachi</source>
        <translation>Shakuhachi</translation>
    </message>
    <message>
        <source>Whistle</source>
        <translation>Pfeifen</translation>
    </message>
    <message>
        <source>Ocarina</source>
        <translation>Okarina</translation>
    </message>
    <message>
        <source>Square Wave</source>
        <translation>Rechteckwelle</translation>
    </message>
    <message>
        <source>Saw Wave</source>
        <translation>Sägezahnwelle</translation>
    </message>
    <message>
        <source>Calliope</source>
        <translation>Calliope</translation>
    </message>
    <message>
        <source>Chiff Lead</source>
        <translation>Chiff Lead</translation>
    </message>
    <message>
        <source>Charang</source>
        <translation>Charang</translation>
    </message>
    <message>
        <source>Voice Lead</source>
        <translation>Voice Lead</translation>
    </message>
    <message>
        <source>Fifth Lead</source>
        <translation>Quinten-Lead</translation>
    </message>
    <message>
        <source>Bass/Lead</source>
        <translation>Bass + Lead</translation>
    </message>
    <message>
        <source>Pad 1</source>
        <translation>Pad 1</translation>
    </message>
    <message>
        <source>Pad 2</source>
        <translation>Pad 2</translation>
    </message>
    <message>
        <source>Pad 3</source>
        <translation>Pad 3</translation>
    </message>
    <message>
        <source>Pad 4</source>
        <translation>Pad 4</translation>
    </message>
    <message>
        <source>Pad 5</source>
        <translation>Pad 5</translation>
    </message>
    <message>
        <source>Pad 6</source>
        <translation>Pad 6</translation>
    </message>
    <message>
        <source>Pad 7</source>
        <translation>Pad 7</translation>
    </message>
    <message>
        <source>Pad 8</source>
        <translation>Pad 8</translation>
    </message>
    <message>
        <source>FX 1</source>
        <translation>FX 1</translation>
    </message>
    <message>
        <source>FX 2</source>
        <translation>FX 2</translation>
    </message>
    <message>
        <source>FX 3</source>
        <translation>FX 3</translation>
    </message>
    <message>
        <source>FX 4</source>
        <translation>FX 4</translation>
    </message>
    <message>
        <source>FX 5</source>
        <translation>FX 5</translation>
    </message>
    <message>
        <source>FX 6</source>
        <translation>FX 6</translation>
    </message>
    <message>
        <source>FX 7</source>
        <translation>FX 7</translation>
    </message>
    <message>
        <source>FX 8</source>
        <translation>FX 8</translation>
    </message>
    <message>
        <source>Sitar</source>
        <translation>Sitar</translation>
    </message>
    <message>
        <source>Banjo</source>
        <translation>Banjo</translation>
    </message>
    <message>
        <source>Shamisen</source>
        <translation>Shamisen</translation>
    </message>
    <message>
        <source>Koto</source>
        <translation>Koto</translation>
    </message>
    <message>
        <source>Kalimba</source>
        <translation>Kalimba</translation>
    </message>
    <message>
        <source>Bagpipe</source>
        <translation>Dudelsack</translation>
    </message>
    <message>
        <source>Fiddle</source>
        <translation>Fiedel</translation>
    </message>
    <message>
        <source>Shanai</source>
        <translation>Shanai</translation>
    </message>
    <message>
        <source>Tinkle Bell</source>
        <translation>Glöckchen</translation>
    </message>
    <message>
        <source>Agogo</source>
        <translation>Agogo</translation>
    </message>
    <message>
        <source>Steel Drums</source>
        <translation>Steel Drums</translation>
    </message>
    <message>
        <source>Wood Block</source>
        <translation>Holzblock</translation>
    </message>
    <message>
        <source>Taiko Drum</source>
        <translation>Taiko-Trommel</translation>
    </message>
    <message>
        <source>Melodic Tom</source>
        <translation>Melodische Tom</translation>
    </message>
    <message>
        <source>Synth Drum</source>
        <translation>Synth-Drum</translation>
    </message>
    <message>
        <source>Reverse Cymbal</source>
        <translation>Becken rückwärts</translation>
    </message>
    <message>
        <source>Fret Noise</source>
        <translation>Bundgeräusch</translation>
    </message>
    <message>
        <source>Breath Noise</source>
        <translation>Atemgeräusch</translation>
    </message>
    <message>
        <source>Sea Shore</source>
        <translation>Meeresrauschen</translation>
    </message>
    <message>
        <source>Bird Tweet</source>
        <translation>Vogelgezwitscher</translation>
    </message>
    <message>
        <source>Telephone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Helicopter</source>
        <translation>Hubschrauber</translation>
    </message>
    <message>
        <source>Applause</source>
        <translation>Applaus</translation>
    </message>
    <message>
        <source>Gun Shot</source>
        <translation>Schuss</translation>
    </message>
</context>
<context>
    <name>HelpBoxes</name>
    <message>
        <source>Merlop Help</source>
        <translation>Merlop-Hilfe</translation>
    </message>
    <message>
        <source>About Merlop</source>
        <translation>Über Merlop</translation>
    </message>
    <message>
        <source>Merlop Version %1</source>
        <translation>Merlop Version %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Inharmonicity</name>
    <message>
        <source>no sample rate</source>
        <translation>keine Abtastrate</translation>
    </message>
    <message>
        <source>less than 0.1 s of sound after its loudest moment</source>
        <translation>weniger als 0.1 s Klang nach dem lautesten Moment</translation>
    </message>
    <message>
        <source>no note found</source>
        <translation>kein Ton gefunden</translation>
    </message>
    <message>
        <source>only %1 partials found below half the sample rate; B needs at least %2</source>
        <translation>nur %1 Teiltöne unterhalb der halben Abtastrate gefunden; B braucht mindestens %2</translation>
    </message>
    <message>
        <source>the partials found fit no stiff string</source>
        <translation>die gefundenen Teiltöne passen zu keiner steifen Saite</translation>
    </message>
</context>
<context>
    <name>LevelMeter</name>
    <message>
        <source>CLIP</source>
        <translation>CLIP</translation>
    </message>
    <message>
        <source>Input level (peak, dB of full scale)</source>
        <translation>Eingangspegel (Spitze, dB bezogen auf Vollaussteuerung)</translation>
    </message>
</context>
<context>
    <name>MainFrame</name>
    <message>
        <source>Not enough memory</source>
        <translation>Nicht genügend Speicher</translation>
    </message>
    <message>
        <source>data buffer </source>
        <translation>Datenpuffer </translation>
    </message>
    <message>
        <source>Not enough memory for</source>
        <translation>Nicht genügend Speicher für</translation>
    </message>
    <message>
        <source>For Help, press F1</source>
        <translation>Drücken Sie F1, um Hilfe zu erhalten</translation>
    </message>
    <message>
        <source>Paused: window inactive</source>
        <translation>Angehalten: Fenster inaktiv</translation>
    </message>
    <message>
        <source>Add Preset Tuning</source>
        <translation>Vordefinierte Stimmung hinzufügen</translation>
    </message>
    <message>
        <source>In-Tune Tolerance</source>
        <translation>Stimmtoleranz</translation>
    </message>
    <message>
        <source>The setting could not be saved in merlop.conf; it holds until Merlop is closed.</source>
        <translation>Die Einstellung konnte nicht in merlop.conf gespeichert werden; sie gilt, bis Merlop beendet wird.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not there: listening to the system default</source>
        <translation>»%1« ist nicht vorhanden: Es wird auf die Standardquelle des Systems gehört</translation>
    </message>
    <message>
        <source>Listening to &quot;%1&quot;</source>
        <translation>Hört auf »%1«</translation>
    </message>
    <message>
        <source>Input Device</source>
        <translation>Eingabegerät</translation>
    </message>
    <message>
        <source>System default</source>
        <translation>Systemstandard</translation>
    </message>
    <message>
        <source>Listening</source>
        <translation>Hört zu</translation>
    </message>
    <message>
        <source>Too quiet</source>
        <translation>Zu leise</translation>
    </message>
    <message>
        <source>Pausing</source>
        <translation>Pausiert</translation>
    </message>
    <message>
        <source>WAV file display</source>
        <translation>Anzeige einer WAV-Datei</translation>
    </message>
    <message>
        <source>no recording sound card installed</source>
        <translation>keine Soundkarte mit Aufnahme installiert</translation>
    </message>
    <message>
        <source>Tuning:</source>
        <translation>Stimmung:</translation>
    </message>
    <message>
        <source>Tuning added: %1</source>
        <translation>Stimmung hinzugefügt: %1</translation>
    </message>
    <message>
        <source>In tune within, cents:</source>
        <translation>Gestimmt bis auf, in Cent:</translation>
    </message>
    <message>
        <source>Listen to:</source>
        <translation>Hören auf:</translation>
    </message>
    <message>
        <source>Listening to the system default</source>
        <translation>Hört auf die Standardquelle des Systems</translation>
    </message>
    <message>
        <source>2:1 - partial 2 of each octave&apos;s lower note on the upper&apos;s first</source>
        <translation>2:1 - Teilton 2 des unteren Tons jeder Oktave auf dem ersten des oberen</translation>
    </message>
    <message>
        <source>4:2 - partial 4 of the lower note on partial 2 of the upper</source>
        <translation>4:2 - Teilton 4 des unteren Tons auf Teilton 2 des oberen</translation>
    </message>
    <message>
        <source>6:3 - partial 6 of the lower note on partial 3 of the upper</source>
        <translation>6:3 - Teilton 6 des unteren Tons auf Teilton 3 des oberen</translation>
    </message>
    <message>
        <source>Mixed - 6:3 below C3, 4:2 from C3 to C5, 2:1 above</source>
        <translation>Gemischt - 6:3 unter C3, 4:2 von C3 bis C5, 2:1 darüber</translation>
    </message>
    <message>
        <source>Key to measure; after OK strike it once and let it ring:</source>
        <translation>Zu messende Taste; nach OK einmal anschlagen und ausklingen lassen:</translation>
    </message>
    <message>
        <source>Listening to %1 for %2 seconds</source>
        <translation>Hört %2 Sekunden lang auf %1</translation>
    </message>
    <message>
        <source>Keep this measurement?</source>
        <translation>Diese Messung behalten?</translation>
    </message>
    <message>
        <source>%1 measured; %2 key so far</source>
        <translation>%1 gemessen; bisher %2 Taste</translation>
    </message>
    <message>
        <source>%1 measured; %2 keys so far</source>
        <translation>%1 gemessen; bisher %2 Tasten</translation>
    </message>
    <message>
        <source>A stretched tuning needs three keys measured or more, spread over the keyboard (Tools / Measure Inharmonicity...); %1 measured so far.</source>
        <translation>Eine gespreizte Stimmung braucht mindestens drei gemessene Tasten, über die Klaviatur verteilt (Extras / Inharmonizität messen...); bisher sind %1 gemessen.</translation>
    </message>
    <message>
        <source>Octaves:</source>
        <translation>Oktaven:</translation>
    </message>
    <message>
        <source>Name of the tuning:</source>
        <translation>Name der Stimmung:</translation>
    </message>
    <message>
        <source>Forget every key measured so far?</source>
        <translation>Alle bisher gemessenen Tasten vergessen?</translation>
    </message>
    <message>
        <source>Temperament added: %1</source>
        <translation>Temperatur hinzugefügt: %1</translation>
    </message>
    <message>
        <source>The tunings file cannot be used; the scale was not added.</source>
        <translation>Die Stimmungsdatei kann nicht verwendet werden; die Skala wurde nicht hinzugefügt.</translation>
    </message>
    <message>
        <source>Measure Inharmonicity</source>
        <translation>Inharmonizität messen</translation>
    </message>
    <message>
        <source>Create Stretched Tuning</source>
        <translation>Gespreizte Stimmung erstellen</translation>
    </message>
    <message>
        <source>Import Scala Scale</source>
        <translation>Scala-Skala importieren</translation>
    </message>
    <message>
        <source>Export Scala Scale</source>
        <translation>Scala-Skala exportieren</translation>
    </message>
</context>
<context>
    <name>MeterWindow</name>
    <message>
        <source>Note/Octave</source>
        <translation>Note/Oktave</translation>
    </message>
    <message>
        <source>Cents</source>
        <translation>Cent</translation>
    </message>
    <message>
        <source>HOLD</source>
        <translation>HALTEN</translation>
    </message>
    <message>
        <source>Cent meter</source>
        <translation>Cent-Anzeige</translation>
    </message>
    <message>
        <source>The detected note, its frequency and how many cents it is sharp or flat</source>
        <translation>Die erkannte Note, ihre Frequenz und um wie viele Cent sie zu hoch oder zu tief ist</translation>
    </message>
</context>
<context>
    <name>PianoMeasure</name>
    <message>
        <source>%1: f0 %2 Hz, B %3, from %4 partials</source>
        <translation>%1: f0 %2 Hz, B %3, aus %4 Teiltönen</translation>
    </message>
    <message>
        <source>partial   Hz   cents from n x f0</source>
        <translation>Teilton   Hz   Cent gegen n x f0</translation>
    </message>
</context>
<context>
    <name>PianoTuning</name>
    <message>
        <source>a piano tuning needs the targets of all 88 keys</source>
        <translation>eine Klavierstimmung braucht die Zielfrequenzen aller 88 Tasten</translation>
    </message>
    <message>
        <source>the targets are not the 88 keys from A0 to C8</source>
        <translation>die Zielfrequenzen sind nicht die 88 Tasten von A0 bis C8</translation>
    </message>
    <message>
        <source>give the tuning a name</source>
        <translation>geben Sie der Stimmung einen Namen</translation>
    </message>
    <message>
        <source>the tuning&apos;s name &apos;%1&apos; is longer than 15 characters</source>
        <translation>der Name der Stimmung &apos;%1&apos; ist länger als 15 Zeichen</translation>
    </message>
    <message>
        <source>no reference A</source>
        <translation>kein Kammerton A</translation>
    </message>
</context>
<context>
    <name>ReadingWords</name>
    <message>
        <source>%1 cents sharp</source>
        <translation>%1 Cent zu hoch</translation>
    </message>
    <message>
        <source>%1 cents flat</source>
        <translation>%1 Cent zu tief</translation>
    </message>
    <message>
        <source>%1 cent sharp</source>
        <translation>%1 Cent zu hoch</translation>
    </message>
    <message>
        <source>%1 cent flat</source>
        <translation>%1 Cent zu tief</translation>
    </message>
    <message>
        <source>%1 sharp</source>
        <translation>%1 Kreuz</translation>
    </message>
    <message>
        <source>%1 flat</source>
        <translation>%1 Be</translation>
    </message>
    <message>
        <source>no note</source>
        <translation>kein Ton</translation>
    </message>
    <message>
        <source>in tune</source>
        <translation>gestimmt</translation>
    </message>
    <message>
        <source>%1, %2 Hz</source>
        <translation>%1, %2 Hz</translation>
    </message>
    <message>
        <source>%1, %2, %3 Hz</source>
        <translation>%1, %2, %3 Hz</translation>
    </message>
</context>
<context>
    <name>Readings</name>
    <message>
        <source>save custom readings ?</source>
        <translation>Eigene Messwerte speichern?</translation>
    </message>
    <message>
        <source>Save readings</source>
        <translation>Messwerte speichern</translation>
    </message>
    <message>
        <source>Function only available whilst spectrum paused</source>
        <translation>Funktion nur verfügbar, während das Spektrum angehalten ist</translation>
    </message>
    <message>
        <source>Save Spectrum</source>
        <translation>Spektrum speichern</translation>
    </message>
</context>
<context>
    <name>ScalaFile</name>
    <message>
        <source>the scale has no pitches</source>
        <translation>die Skala hat keine Tonhöhen</translation>
    </message>
    <message>
        <source>the keyboard map leaves its reference note %1 unmapped</source>
        <translation>die Tastaturzuordnung lässt ihren Bezugston %1 unbelegt</translation>
    </message>
    <message>
        <source>no key of the keyboard map gives a pitch a tuner can sound</source>
        <translation>keine Taste der Tastaturzuordnung ergibt eine Tonhöhe, die ein Stimmgerät spielen kann</translation>
    </message>
    <message>
        <source>not a whole number</source>
        <translation>keine ganze Zahl</translation>
    </message>
    <message>
        <source>number out of range</source>
        <translation>Zahl außerhalb des Bereichs</translation>
    </message>
    <message>
        <source>too large for a frequency</source>
        <translation>zu groß für eine Frequenz</translation>
    </message>
    <message>
        <source>not a pitch: no denominator after &apos;/&apos;</source>
        <translation>keine Tonhöhe: kein Nenner nach &apos;/&apos;</translation>
    </message>
    <message>
        <source>a ratio with a zero denominator</source>
        <translation>ein Verhältnis mit dem Nenner null</translation>
    </message>
    <message>
        <source>a ratio must be above zero</source>
        <translation>ein Verhältnis muss größer als null sein</translation>
    </message>
    <message>
        <source>not a pitch: no number in cents or ratio</source>
        <translation>keine Tonhöhe: keine Zahl in Cent oder als Verhältnis</translation>
    </message>
    <message>
        <source>no description line: not a Scala scale</source>
        <translation>keine Beschreibungszeile: keine Scala-Skala</translation>
    </message>
    <message>
        <source>the file ends before the number of notes</source>
        <translation>die Datei endet vor der Anzahl der Töne</translation>
    </message>
    <message>
        <source>the number of notes: %1</source>
        <translation>die Anzahl der Töne: %1</translation>
    </message>
    <message>
        <source>a scale needs at least one pitch</source>
        <translation>eine Skala braucht mindestens eine Tonhöhe</translation>
    </message>
    <message>
        <source>%1 notes are more than the %2 a scale may have here</source>
        <translation>%1 Töne sind mehr als die %2, die eine Skala hier haben darf</translation>
    </message>
    <message>
        <source>the file ends after %1 of %2 pitches</source>
        <translation>die Datei endet nach %1 von %2 Tonhöhen</translation>
    </message>
    <message>
        <source>the last pitch, the period, must lie above the unison</source>
        <translation>die letzte Tonhöhe, die Periode, muss über dem Einklang liegen</translation>
    </message>
    <message>
        <source>the size of the map</source>
        <translation>die Größe der Zuordnung</translation>
    </message>
    <message>
        <source>the first MIDI note</source>
        <translation>die erste MIDI-Note</translation>
    </message>
    <message>
        <source>the last MIDI note</source>
        <translation>die letzte MIDI-Note</translation>
    </message>
    <message>
        <source>the middle note</source>
        <translation>die mittlere Note</translation>
    </message>
    <message>
        <source>the reference note</source>
        <translation>die Bezugsnote</translation>
    </message>
    <message>
        <source>the reference frequency</source>
        <translation>die Bezugsfrequenz</translation>
    </message>
    <message>
        <source>the octave degree</source>
        <translation>die Oktavstufe</translation>
    </message>
    <message>
        <source>not a frequency in Hz</source>
        <translation>keine Frequenz in Hz</translation>
    </message>
    <message>
        <source>a frequency must be above zero</source>
        <translation>eine Frequenz muss größer als null sein</translation>
    </message>
    <message>
        <source>the file ends before %1</source>
        <translation>die Datei endet zu früh; es fehlt: %1</translation>
    </message>
    <message>
        <source>the last MIDI note lies below the first</source>
        <translation>die letzte MIDI-Note liegt unter der ersten</translation>
    </message>
    <message>
        <source>more mapping entries than the map&apos;s size of %1</source>
        <translation>mehr Einträge als die Größe der Zuordnung von %1</translation>
    </message>
    <message>
        <source>a scale degree or x: %1</source>
        <translation>eine Skalenstufe oder x: %1</translation>
    </message>
    <message>
        <source>%1: line %2: %3</source>
        <translation>%1: Zeile %2: %3</translation>
    </message>
    <message>
        <source>a folder, not a file</source>
        <translation>ein Ordner, keine Datei</translation>
    </message>
    <message>
        <source>cannot open: %1</source>
        <translation>kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>too large for a scale file</source>
        <translation>zu groß für eine Skalendatei</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>not a text file: it holds the byte %1</source>
        <translation>keine Textdatei: sie enthält das Byte %1</translation>
    </message>
</context>
<context>
    <name>ScalaFiles</name>
    <message>
        <source>Left out, beyond the %1 notes a tuning holds: MIDI keys %2. </source>
        <translation>Ausgelassen, jenseits der %1 Töne, die eine Stimmung fasst: MIDI-Tasten %2. </translation>
    </message>
    <message>
        <source>Left out, pitches no tuner can sound: MIDI keys %1.</source>
        <translation>Ausgelassen, Tonhöhen, die kein Stimmgerät spielen kann: MIDI-Tasten %1.</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Make sure that file merlo301.cfg has been installed</source>
        <translation>Stellen Sie sicher, dass die Datei merlo301.cfg installiert ist</translation>
    </message>
    <message>
        <source>Configuration file missing or corrupt</source>
        <translation>Konfigurationsdatei fehlt oder ist beschädigt</translation>
    </message>
    <message>
        <source>%1 is not a file, so Merlop cannot keep its settings there. Nothing was written.</source>
        <translation>%1 ist keine Datei, daher kann Merlop seine Einstellungen dort nicht speichern. Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>The damaged settings file was kept as %1. Merlop starts with the default settings.</source>
        <translation>Die beschädigte Einstellungsdatei wurde als %1 aufbewahrt. Merlop startet mit den Standardeinstellungen.</translation>
    </message>
    <message>
        <source>The settings could not be saved. %1. The next start uses the settings saved before.</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden. %1. Der nächste Start verwendet die zuvor gespeicherten Einstellungen.</translation>
    </message>
</context>
<context>
    <name>SettingsSheet</name>
    <message>
        <source>The name can only hold letters of Western European languages: &quot;%1&quot; has no place in it.</source>
        <translation>Der Name kann nur Buchstaben westeuropäischer Sprachen enthalten: „%1“ ist darin nicht möglich.</translation>
    </message>
    <message>
        <source>Save changes to %1 ?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <source>savetng failed</source>
        <translation>Speichern der Stimmung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Cannot add more than 32 tunings</source>
        <translation>Mehr als 32 Stimmungen sind nicht möglich</translation>
    </message>
    <message>
        <source>Base new tuning on %1 ?</source>
        <translation>Neue Stimmung auf %1 aufbauen?</translation>
    </message>
    <message>
        <source>Delete %1 ?</source>
        <translation>%1 löschen?</translation>
    </message>
    <message>
        <source>Cannot delete %1</source>
        <translation>%1 kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>Cannot insert more notes</source>
        <translation>Es können keine weiteren Töne eingefügt werden</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>flat</source>
        <translation>Be</translation>
    </message>
    <message>
        <source>sharp</source>
        <translation>Kreuz</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Reference Tone</source>
        <translation>Referenzton</translation>
    </message>
    <message>
        <source>Ear </source>
        <translation>Gehörbildung </translation>
    </message>
    <message>
        <source>Random</source>
        <translation>Zufall</translation>
    </message>
    <message>
        <source>T U N I N G S</source>
        <translation>S T I M M U N G E N</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>New tuning</source>
        <translation>Neue Stimmung</translation>
    </message>
    <message>
        <source>Instrument</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Delete tuning</source>
        <translation>Stimmung löschen</translation>
    </message>
    <message>
        <source>Auto reference tone</source>
        <translation>Referenzton automatisch</translation>
    </message>
    <message>
        <source>Record readings</source>
        <translation>Messwerte aufzeichnen</translation>
    </message>
    <message>
        <source>N O T E S</source>
        <translation>T Ö N E</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>Octave</source>
        <translation>Oktave</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Frequency (Hz)</source>
        <translation>Frequenz (Hz)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Insert note</source>
        <translation>Ton einfügen</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>Ton löschen</translation>
    </message>
    <message>
        <source>Custom </source>
        <translation>Eigene </translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Chromatic</source>
        <translation>Chromatisch</translation>
    </message>
    <message>
        <source>Major</source>
        <translation>Dur</translation>
    </message>
    <message>
        <source>Harmonic Minor</source>
        <translation>Harmonisch Moll</translation>
    </message>
    <message>
        <source>Whole tone</source>
        <translation>Ganzton</translation>
    </message>
    <message>
        <source>Diminshed</source>
        <translation>Vermindert</translation>
    </message>
    <message>
        <source>Blues</source>
        <translation>Blues</translation>
    </message>
    <message>
        <source>Pentatonic</source>
        <translation>Pentatonik</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Bitte eine ganze Zahl zwischen %1 und %2 eingeben.</translation>
    </message>
    <message>
        <source>Frequency of A :</source>
        <translation>Kammerton A :</translation>
    </message>
    <message>
        <source>Calibration :</source>
        <translation>Kalibrierung :</translation>
    </message>
    <message>
        <source>cents</source>
        <translation>Cent</translation>
    </message>
    <message>
        <source>Instrument Key :</source>
        <translation>Instrument in :</translation>
    </message>
    <message>
        <source>Notation :</source>
        <translation>Notation :</translation>
    </message>
    <message>
        <source>Temperament : </source>
        <translation>Temperatur : </translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>Use A </source>
        <translation>Bezug A </translation>
    </message>
    <message>
        <source>Frequency range :   from</source>
        <translation>Frequenzbereich :   von</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>Sensitivity :    </source>
        <translation>Empfindlichkeit :    </translation>
    </message>
    <message>
        <source>high</source>
        <translation>hoch</translation>
    </message>
    <message>
        <source>low </source>
        <translation>tief </translation>
    </message>
    <message>
        <source>Hum filter</source>
        <translation>Brummfilter</translation>
    </message>
    <message>
        <source>Piano</source>
        <translation>Klavier</translation>
    </message>
    <message>
        <source>octave range from</source>
        <translation>Oktaven von</translation>
    </message>
    <message>
        <source>Fine tuning</source>
        <translation>Feinstimmung</translation>
    </message>
    <message>
        <source>Defaults</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>dB range   from</source>
        <translation>dB-Bereich   von</translation>
    </message>
    <message>
        <source>3D Spectrum</source>
        <translation>3D-Spektrum</translation>
    </message>
    <message>
        <source>View angle </source>
        <translation>Blickwinkel </translation>
    </message>
    <message>
        <source>Sustain</source>
        <translation>Halten</translation>
    </message>
    <message>
        <source>Curve Smoothing</source>
        <translation>Glättung</translation>
    </message>
    <message>
        <source>Weighting</source>
        <translation>Bewertung</translation>
    </message>
    <message>
        <source>Hamming Window</source>
        <translation>Hamming-Fenster</translation>
    </message>
    <message>
        <source>Midi</source>
        <translation>MIDI</translation>
    </message>
    <message>
        <source>Sine</source>
        <translation>Sinus</translation>
    </message>
    <message>
        <source>Midi Patch</source>
        <translation>MIDI-Klang</translation>
    </message>
    <message>
        <source>Midi Calibration</source>
        <translation>MIDI-Korrektur</translation>
    </message>
    <message>
        <source>cent</source>
        <translation>Cent</translation>
    </message>
    <message>
        <source>Midi channel</source>
        <translation>MIDI-Kanal</translation>
    </message>
    <message>
        <source>Volume      low</source>
        <translation>Lautstärke  leise</translation>
    </message>
    <message>
        <source>Repeat Rate</source>
        <translation>Wiederholrate</translation>
    </message>
    <message>
        <source>Range         from</source>
        <translation>Bereich         von</translation>
    </message>
    <message>
        <source>Number of Notes</source>
        <translation>Anzahl Töne</translation>
    </message>
    <message>
        <source>Maximum Interval</source>
        <translation>Größtes Intervall</translation>
    </message>
    <message>
        <source>(semitones)</source>
        <translation>(Halbtöne)</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Tonleiter</translation>
    </message>
    <message>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>Show first note</source>
        <translation>Ersten Ton zeigen</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte eine ganze Zahl eingeben.</translation>
    </message>
</context>
<context>
    <name>StretchTuning</name>
    <message>
        <source>the reference A must be 400 to 500 Hz</source>
        <translation>der Kammerton A muss zwischen 400 und 500 Hz liegen</translation>
    </message>
    <message>
        <source>key %1 is not one of the 88 (A0 to C8)</source>
        <translation>Taste %1 ist keine der 88 (A0 bis C8)</translation>
    </message>
    <message>
        <source>%1: B must be 0 to 0.05</source>
        <translation>%1: B muss zwischen 0 und 0.05 liegen</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 ist doppelt angegeben</translation>
    </message>
    <message>
        <source>the curve needs at least 3 keys, %1 given</source>
        <translation>die Kurve braucht mindestens 3 Tasten, %1 angegeben</translation>
    </message>
</context>
<context>
    <name>Temperaments</name>
    <message>
        <source>Equal temperament</source>
        <translation>Gleichstufige Stimmung</translation>
    </message>
    <message>
        <source>Agricola Pythag Monochord</source>
        <translation>Agricola pythag. Monochord</translation>
    </message>
    <message>
        <source>Agricola Monochord</source>
        <translation>Agricola Monochord</translation>
    </message>
    <message>
        <source>Artusi Monochord</source>
        <translation>Artusi Monochord</translation>
    </message>
    <message>
        <source>Barnes V&amp;Y variation</source>
        <translation>Barnes V&amp;Y-Variante</translation>
    </message>
    <message>
        <source>Bendeler  1/3rd Comma</source>
        <translation>Bendeler 1/3-Komma</translation>
    </message>
    <message>
        <source>Benderler 1/4 Comma</source>
        <translation>Benderler 1/4-Komma</translation>
    </message>
    <message>
        <source>Colonna&apos;s Irregular Just</source>
        <translation>Colonna unregelmäßig rein</translation>
    </message>
    <message>
        <source>De Caus Monochord</source>
        <translation>De Caus Monochord</translation>
    </message>
    <message>
        <source>Dechales 1/5th Comma</source>
        <translation>Dechales 1/5-Komma</translation>
    </message>
    <message>
        <source>Dowland Lute Tuning</source>
        <translation>Dowland Lautenstimmung</translation>
    </message>
    <message>
        <source>Erlangen Monochord</source>
        <translation>Erlanger Monochord</translation>
    </message>
    <message>
        <source>Euler Monochord</source>
        <translation>Euler Monochord</translation>
    </message>
    <message>
        <source>Fogliano Monochord</source>
        <translation>Fogliano Monochord</translation>
    </message>
    <message>
        <source>Galilei Approximation</source>
        <translation>Galilei-Näherung</translation>
    </message>
    <message>
        <source>Gallimard Modified Mean</source>
        <translation>Gallimard modif. mitteltönig</translation>
    </message>
    <message>
        <source>Ganassi Monochord</source>
        <translation>Ganassi Monochord</translation>
    </message>
    <message>
        <source>Harmonic</source>
        <translation>Harmonisch</translation>
    </message>
    <message>
        <source>Harrison 3/10 Comma</source>
        <translation>Harrison 3/10-Komma</translation>
    </message>
    <message>
        <source>Hawke 1/5th Comma</source>
        <translation>Hawke 1/5-Komma</translation>
    </message>
    <message>
        <source>Keplar Monochord</source>
        <translation>Keplar Monochord</translation>
    </message>
    <message>
        <source>Kirnberger 1/2 Comma</source>
        <translation>Kirnberger 1/2-Komma</translation>
    </message>
    <message>
        <source>Leven Monochord</source>
        <translation>Leven Monochord</translation>
    </message>
    <message>
        <source>Ling Lun</source>
        <translation>Ling Lun</translation>
    </message>
    <message>
        <source>Malcom Monochord</source>
        <translation>Malcom Monochord</translation>
    </message>
    <message>
        <source>Marpurg 1/3rd Comma</source>
        <translation>Marpurg 1/3-Komma</translation>
    </message>
    <message>
        <source>Marpurg Monochord</source>
        <translation>Marpurg Monochord</translation>
    </message>
    <message>
        <source>Salinas Meantone</source>
        <translation>Salinas mitteltönig</translation>
    </message>
    <message>
        <source>Meantone 2 sharp 5ths</source>
        <translation>Mitteltönig 2 hohe Quinten</translation>
    </message>
    <message>
        <source>Mean tone 1/4</source>
        <translation>Mitteltönig 1/4</translation>
    </message>
    <message>
        <source>Mean tone 1/5</source>
        <translation>Mitteltönig 1/5</translation>
    </message>
    <message>
        <source>Mean tone 1/6</source>
        <translation>Mitteltönig 1/6</translation>
    </message>
    <message>
        <source>Mercadier 1/12-1/6 Comma</source>
        <translation>Mercadier 1/12-1/6-Komma</translation>
    </message>
    <message>
        <source>Mersenne Meantone 1</source>
        <translation>Mersenne mitteltönig 1</translation>
    </message>
    <message>
        <source>Mersenne Meantone 2</source>
        <translation>Mersenne mitteltönig 2</translation>
    </message>
    <message>
        <source>Mersenne Approximation</source>
        <translation>Mersenne-Näherung</translation>
    </message>
    <message>
        <source>Mersenne Lute Tuning</source>
        <translation>Mersenne Lautenstimmung</translation>
    </message>
    <message>
        <source>Mersenne Spinet Tuning 1</source>
        <translation>Mersenne Spinettstimmung 1</translation>
    </message>
    <message>
        <source>Mersenne Spinet Tuning 2</source>
        <translation>Mersenne Spinettstimmung 2</translation>
    </message>
    <message>
        <source>Montvallon  Monochord</source>
        <translation>Montvallon Monochord</translation>
    </message>
    <message>
        <source>Nassarre Equal Semitones</source>
        <translation>Nassarre gleiche Halbtöne</translation>
    </message>
    <message>
        <source>Neidhardt 5th Circle 1/4</source>
        <translation>Neidhardt Quintenzirkel 1/4</translation>
    </message>
    <message>
        <source>Neidhardt 5th Circle 1/6</source>
        <translation>Neidhardt Quintenzirkel 1/6</translation>
    </message>
    <message>
        <source>Neidhardt 3rd Circle</source>
        <translation>Neidhardt Terzenzirkel</translation>
    </message>
    <message>
        <source>Neidhardt Circular</source>
        <translation>Neidhardt zirkulierend</translation>
    </message>
    <message>
        <source>Pure Major</source>
        <translation>Rein Dur</translation>
    </message>
    <message>
        <source>Pure Minor</source>
        <translation>Rein Moll</translation>
    </message>
    <message>
        <source>Pythagoras Mean Semitones</source>
        <translation>Pythagoras mittlere Halbtöne</translation>
    </message>
    <message>
        <source>Pythagorean</source>
        <translation>Pythagoreisch</translation>
    </message>
    <message>
        <source>Rameau Modified Meantone</source>
        <translation>Rameau modif. mitteltönig</translation>
    </message>
    <message>
        <source>Ramis Monochord</source>
        <translation>Ramis Monochord</translation>
    </message>
    <message>
        <source>Regularily Varied 5ths</source>
        <translation>Regelmäßig variierte Quinten</translation>
    </message>
    <message>
        <source>Romieu 1/7th Comma</source>
        <translation>Romieu 1/7-Komma</translation>
    </message>
    <message>
        <source>Romieu 1/8th Comma</source>
        <translation>Romieu 1/8-Komma</translation>
    </message>
    <message>
        <source>Romieu 1/9th Comma</source>
        <translation>Romieu 1/9-Komma</translation>
    </message>
    <message>
        <source>Romieu 1/10th Comma</source>
        <translation>Romieu 1/10-Komma</translation>
    </message>
    <message>
        <source>Romieu Monochord</source>
        <translation>Romieu Monochord</translation>
    </message>
    <message>
        <source>Rossi  2/9th Comma</source>
        <translation>Rossi 2/9-Komma</translation>
    </message>
    <message>
        <source>Rousseau Monochord</source>
        <translation>Rousseau Monochord</translation>
    </message>
    <message>
        <source>Salinas 1/3rd Comma</source>
        <translation>Salinas 1/3-Komma</translation>
    </message>
    <message>
        <source>Scheengaas Variation</source>
        <translation>Scheengaas-Variante</translation>
    </message>
    <message>
        <source>Schlick Theoretical</source>
        <translation>Schlick theoretisch</translation>
    </message>
    <message>
        <source>Smith 5/18th Comma</source>
        <translation>Smith 5/18-Komma</translation>
    </message>
    <message>
        <source>Stanhope 1/3rd Comma</source>
        <translation>Stanhope 1/3-Komma</translation>
    </message>
    <message>
        <source>Strahle Geometrical</source>
        <translation>Strähle geometrisch</translation>
    </message>
    <message>
        <source>Valotti &amp; Young</source>
        <translation>Valotti &amp; Young</translation>
    </message>
    <message>
        <source>Von Wiesse 1/2 Comma</source>
        <translation>Von Wiesse 1/2-Komma</translation>
    </message>
    <message>
        <source>Werckmeister 1 1/4 Comma</source>
        <translation>Werckmeister 1 1/4-Komma</translation>
    </message>
    <message>
        <source>Werckmeister 4 1/4 Comma</source>
        <translation>Werckmeister 4 1/4-Komma</translation>
    </message>
    <message>
        <source>Werckmeister 2 1/3 Comma</source>
        <translation>Werckmeister 2 1/3-Komma</translation>
    </message>
    <message>
        <source>Werckmeister 1/7th Comma</source>
        <translation>Werckmeister 1/7-Komma</translation>
    </message>
    <message>
        <source>Werckmeister 3</source>
        <translation>Werckmeister 3</translation>
    </message>
    <message>
        <source>Young 1/6th Comma</source>
        <translation>Young 1/6-Komma</translation>
    </message>
    <message>
        <source>Zarlino 2/7th Comma</source>
        <translation>Zarlino 2/7-Komma</translation>
    </message>
    <message>
        <source>Zazal</source>
        <translation>Zazal</translation>
    </message>
</context>
<context>
    <name>TunerWindow</name>
    <message>
        <source>Tuner</source>
        <translation>Stimmgerät</translation>
    </message>
    <message>
        <source>The reading of the tuner: note, cents and frequency</source>
        <translation>Die Anzeige des Stimmgeräts: Note, Cent und Frequenz</translation>
    </message>
    <message>
        <source>Strobe</source>
        <translation>Stroboskop</translation>
    </message>
    <message>
        <source>Bands of the first, second and fourth partial: they drift right when sharp, left when flat and stand still in tune</source>
        <translation>Bänder des ersten, zweiten und vierten Teiltons: Sie wandern nach rechts, wenn der Ton zu hoch ist, nach links, wenn er zu tief ist, und stehen still, wenn er sauber ist</translation>
    </message>
</context>
<context>
    <name>TuningNoteChoice</name>
    <message>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
</context>
<context>
    <name>UserTemperaments</name>
    <message>
        <source>a temperament has 12 notes and a period of 2/1; this scale has %1</source>
        <translation>eine Temperatur hat 12 Töne und eine Periode von 2/1; diese Skala hat %1</translation>
    </message>
    <message>
        <source>not a plain file name ending in .scl</source>
        <translation>kein einfacher Dateiname mit der Endung .scl</translation>
    </message>
    <message>
        <source>already exists; left unchanged</source>
        <translation>existiert bereits; unverändert gelassen</translation>
    </message>
    <message>
        <source>cannot create: %1</source>
        <translation>kann nicht angelegt werden: %1</translation>
    </message>
</context>
<context>
    <name>WaveFile</name>
    <message>
        <source>File does not exist</source>
        <translation>Die Datei existiert nicht</translation>
    </message>
    <message>
        <source>wave header error</source>
        <translation>Fehler im WAV-Dateikopf</translation>
    </message>
    <message>
        <source>Only PCM mono WAV files supported</source>
        <translation>Nur PCM-Mono-WAV-Dateien werden unterstützt</translation>
    </message>
</context>
<context>
    <name>WaveInput</name>
    <message>
        <source>sound recording device error</source>
        <translation>Fehler des Aufnahmegeräts</translation>
    </message>
    <message>
        <source>memory</source>
        <translation>Speicher</translation>
    </message>
    <message>
        <source>The operation completed successfully.</source>
        <translation>Der Vorgang wurde erfolgreich abgeschlossen.</translation>
    </message>
    <message>
        <source>No sound recording device is available.</source>
        <translation>Es ist kein Aufnahmegerät verfügbar.</translation>
    </message>
    <message>
        <source>The sound recording device does not support the requested format.</source>
        <translation>Das Aufnahmegerät unterstützt das angeforderte Format nicht.</translation>
    </message>
    <message>
        <source>The sound recording device is not open.</source>
        <translation>Das Aufnahmegerät ist nicht geöffnet.</translation>
    </message>
    <message>
        <source>The sound recording device is already open.</source>
        <translation>Das Aufnahmegerät ist bereits geöffnet.</translation>
    </message>
    <message>
        <source>Buffers are still queued on the sound recording device; reset it first.</source>
        <translation>Im Aufnahmegerät stehen noch Puffer an; setzen Sie es zuerst zurück.</translation>
    </message>
    <message>
        <source>An invalid parameter was passed to the sound recording device.</source>
        <translation>Dem Aufnahmegerät wurde ein ungültiger Parameter übergeben.</translation>
    </message>
    <message>
        <source>The sound recording device could not be started.</source>
        <translation>Das Aufnahmegerät konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The capabilities of the sound recording device cannot be read.</source>
        <translation>Die Fähigkeiten des Aufnahmegeräts können nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The sound recording device was removed or stopped working.</source>
        <translation>Das Aufnahmegerät wurde entfernt oder funktioniert nicht mehr.</translation>
    </message>
    <message>
        <source>The chosen sound source came or went; the recording moves to it or away.</source>
        <translation>Die gewählte Tonquelle ist hinzugekommen oder verschwunden; die Aufnahme wechselt zu ihr oder von ihr weg.</translation>
    </message>
    <message>
        <source>Unknown sound recording device error %1.</source>
        <translation>Unbekannter Fehler %1 des Aufnahmegeräts.</translation>
    </message>
    <message>
        <source>wave header allocation error</source>
        <translation>Fehler beim Anlegen der WAV-Kopfdaten</translation>
    </message>
    <message>
        <source>wave buffer allocation error</source>
        <translation>Fehler beim Anlegen des WAV-Puffers</translation>
    </message>
</context>
<context>
    <name>WidgetQuestionBox</name>
    <message>
        <source>Start with Defaults</source>
        <translation>Mit Standardwerten beginnen</translation>
    </message>
    <message>
        <source>OK quits. Start with Defaults keeps the damaged file beside the new one, its name ending in .damaged.</source>
        <translation>OK beendet das Programm. „Mit Standardwerten beginnen“ behält die beschädigte Datei neben der neuen; ihr Name endet auf .damaged.</translation>
    </message>
</context>
<context>
    <name>merlop::MainFrame</name>
    <message>
        <source>Merlop %1</source>
        <translation>Merlop %1</translation>
    </message>
</context>
<context>
    <name>merlop::NoteButton</name>
    <message>
        <source>Click to hear its reference tone.</source>
        <translation>Klicken, um ihren Referenzton zu hören.</translation>
    </message>
    <message>
        <source>Detected.</source>
        <translation>Erkannt.</translation>
    </message>
    <message>
        <source>Detected. Click to hear its reference tone.</source>
        <translation>Erkannt. Klicken, um ihren Referenzton zu hören.</translation>
    </message>
    <message>
        <source>Playing its reference tone.</source>
        <translation>Ihr Referenzton erklingt.</translation>
    </message>
    <message>
        <source>Playing its reference tone. Click to hear its reference tone.</source>
        <translation>Ihr Referenzton erklingt. Klicken, um ihren Referenzton zu hören.</translation>
    </message>
</context>
<context>
    <name>merlop::PianoWnd</name>
    <message>
        <source>Keyboard</source>
        <translation>Klaviatur</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Erklingt</translation>
    </message>
    <message>
        <source>Detected</source>
        <translation>Erkannt</translation>
    </message>
    <message>
        <source>Piano keyboard of %1 keys.</source>
        <translation>Klaviatur mit %1 Tasten.</translation>
    </message>
    <message>
        <source>Piano keyboard of %1 keys. Click a key to hear its reference tone.</source>
        <translation>Klaviatur mit %1 Tasten. Eine Taste anklicken, um ihren Referenzton zu hören.</translation>
    </message>
    <message>
        <source>Piano keyboard of %1 keys. Detected %2.</source>
        <translation>Klaviatur mit %1 Tasten. Erkannt: %2.</translation>
    </message>
    <message>
        <source>Piano keyboard of %1 keys. Detected %2. Click a key to hear its reference tone.</source>
        <translation>Klaviatur mit %1 Tasten. Erkannt: %2. Eine Taste anklicken, um ihren Referenzton zu hören.</translation>
    </message>
    <message>
        <source>Piano keyboard of %1 keys. Playing %2.</source>
        <translation>Klaviatur mit %1 Tasten. Es erklingt: %2.</translation>
    </message>
    <message>
        <source>Piano keyboard of %1 keys. Playing %2. Click a key to hear its reference tone.</source>
        <translation>Klaviatur mit %1 Tasten. Es erklingt: %2. Eine Taste anklicken, um ihren Referenzton zu hören.</translation>
    </message>
</context>
<context>
    <name>merlop::ScreenAwake</name>
    <message>
        <source>Listening to an instrument</source>
        <translation>Hört einem Instrument zu</translation>
    </message>
</context>
<context>
    <name>merlop::SpectrumWindow</name>
    <message>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <source>Level of the input over frequency</source>
        <translation>Pegel des Eingangs über der Frequenz</translation>
    </message>
    <message>
        <source>Not enough memory for</source>
        <translation>Nicht genug Speicher für</translation>
    </message>
</context>
<context>
    <name>merlop::WavFilePlayer</name>
    <message>
        <source>MCI device error</source>
        <translation>MCI-Gerätefehler</translation>
    </message>
    <message>
        <source>The specified command was carried out.</source>
        <translation>Der angegebene Befehl wurde ausgeführt.</translation>
    </message>
    <message>
        <source>The specified file cannot be opened. Make sure the path and file name are correct.</source>
        <translation>Die angegebene Datei kann nicht geöffnet werden. Prüfen Sie, ob Pfad und Dateiname stimmen.</translation>
    </message>
    <message>
        <source>The file is not a valid wave audio file.</source>
        <translation>Die Datei ist keine gültige Wave-Audiodatei.</translation>
    </message>
    <message>
        <source>The wave audio format of this file cannot be played.</source>
        <translation>Das Wave-Audioformat dieser Datei kann nicht abgespielt werden.</translation>
    </message>
    <message>
        <source>No wave audio output device is available.</source>
        <translation>Es ist kein Wave-Audioausgabegerät verfügbar.</translation>
    </message>
    <message>
        <source>The device is not open.</source>
        <translation>Das Gerät ist nicht geöffnet.</translation>
    </message>
    <message>
        <source>The specified position is beyond the end of the sound.</source>
        <translation>Die angegebene Position liegt hinter dem Ende des Klangs.</translation>
    </message>
    <message>
        <source>The wave audio output could not be started.</source>
        <translation>Die Wave-Audioausgabe konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Unknown wave audio error %1.</source>
        <translation>Unbekannter Wave-Audiofehler %1.</translation>
    </message>
</context>
<context>
    <name>merlop::WaveFormWindow</name>
    <message>
        <source>Wave form</source>
        <translation>Wellenform</translation>
    </message>
    <message>
        <source>The input signal over time</source>
        <translation>Das Eingangssignal über der Zeit</translation>
    </message>
    <message>
        <source>not enough mmero for</source>
        <translation>Nicht genug Speicher für</translation>
    </message>
</context>
</TS>
