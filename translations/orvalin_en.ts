<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>DayOffset</name>
    <message>
        <source>demain</source>
        <translation>tomorrow</translation>
    </message>
    <message>
        <source>hier</source>
        <translation>yesterday</translation>
    </message>
    <message>
        <source>dans %1 jours</source>
        <translation>in %1 days</translation>
    </message>
    <message>
        <source>il y a %1 jours</source>
        <translation>%1 days ago</translation>
    </message>
</context>
<context>
    <name>KeyName</name>
    <message>
        <source>Entrée</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>Espace</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>Retour arrière</source>
        <translation>Backspace</translation>
    </message>
    <message>
        <source>Échap</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Suppr</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Inser</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Début</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Fin</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Page préc.</source>
        <translation>Page Up</translation>
    </message>
    <message>
        <source>Page suiv.</source>
        <translation>Page Down</translation>
    </message>
    <message>
        <source>Gauche</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Droite</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Bas</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Haut</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Verr. num.</source>
        <translation>Num Lock</translation>
    </message>
    <message>
        <source>Volume +</source>
        <translation>Volume Up</translation>
    </message>
    <message>
        <source>Volume −</source>
        <translation>Volume Down</translation>
    </message>
    <message>
        <source>Muet</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>Entrée (pavé num.)</source>
        <translation>KP Enter</translation>
    </message>
    <message>
        <source>Pavé num. .</source>
        <translation>KP .</translation>
    </message>
    <message>
        <source>Pavé num. *</source>
        <translation>KP *</translation>
    </message>
    <message>
        <source>Pavé num. +</source>
        <translation>KP +</translation>
    </message>
    <message>
        <source>Pavé num. /</source>
        <translation>KP /</translation>
    </message>
    <message>
        <source>Pavé num. -</source>
        <translation>KP -</translation>
    </message>
    <message>
        <source>Pavé num. =</source>
        <translation>KP =</translation>
    </message>
    <message>
        <source>Pavé num. 0</source>
        <translation>KP 0</translation>
    </message>
    <message>
        <source>Pavé num. 1</source>
        <translation>KP 1</translation>
    </message>
    <message>
        <source>Pavé num. 2</source>
        <translation>KP 2</translation>
    </message>
    <message>
        <source>Pavé num. 3</source>
        <translation>KP 3</translation>
    </message>
    <message>
        <source>Pavé num. 4</source>
        <translation>KP 4</translation>
    </message>
    <message>
        <source>Pavé num. 5</source>
        <translation>KP 5</translation>
    </message>
    <message>
        <source>Pavé num. 6</source>
        <translation>KP 6</translation>
    </message>
    <message>
        <source>Pavé num. 7</source>
        <translation>KP 7</translation>
    </message>
    <message>
        <source>Pavé num. 8</source>
        <translation>KP 8</translation>
    </message>
    <message>
        <source>Pavé num. 9</source>
        <translation>KP 9</translation>
    </message>
</context>
<context>
    <name>LocalePicker</name>
    <message>
        <source>Langue du système — %1</source>
        <translation>System language — %1</translation>
    </message>
</context>
<context>
    <name>orvalin</name>
    <message>
        <source>Seules les applications X11 reçoivent les dates — Aide…</source>
        <translation>Only X11 applications receive dates — Help…</translation>
    </message>
    <message>
        <source>orvalin : le presse-papiers ne peut être gardé après la fin du programme</source>
        <translation>orvalin: the clipboard cannot be kept after the program ends</translation>
    </message>
    <message>
        <source>orvalin : une autre instance tourne déjà mais ne répond pas</source>
        <translation>orvalin: another instance is already running but does not answer</translation>
    </message>
    <message>
        <source>orvalin : contrôle d&apos;instance unique impossible (%1), arrêt</source>
        <translation>orvalin: cannot make sure that only one instance runs (%1), stopping</translation>
    </message>
    <message>
        <source>orvalin : connexion au compositeur Wayland perdue, arrêt</source>
        <translation>orvalin: connection to the Wayland compositor lost, stopping</translation>
    </message>
    <message>
        <source>orvalin : %1 : seules les applications X11 (XWayland) reçoivent les dates dans cette session (aide : %2)</source>
        <translation>orvalin: %1: only X11 applications (XWayland) receive dates in this session (help: %2)</translation>
    </message>
    <message>
        <source>orvalin : connexion au serveur X perdue, arrêt</source>
        <translation>orvalin: connection to the X server lost, stopping</translation>
    </message>
    <message>
        <source>Erreur démarrage auto : %1</source>
        <translation>Launch at login failed: %1</translation>
    </message>
    <message>
        <source>orvalin : surveillance du clavier impossible : %1 (aide : %2)</source>
        <translation>orvalin: cannot watch the keyboard: %1 (help: %2)</translation>
    </message>
    <message>
        <source>Insère la date du jour dans l&apos;application active.</source>
        <translation>Inserts today&apos;s date into the focused application.</translation>
    </message>
    <message>
        <source>Affiche cette aide.</source>
        <translation>Shows this help.</translation>
    </message>
    <message>
        <source>Affiche la version.</source>
        <translation>Shows the version.</translation>
    </message>
    <message>
        <source>Ouvre le panneau d&apos;Orvalin, en le démarrant s&apos;il ne tourne pas.</source>
        <translation>Opens Orvalin&apos;s panel, starting Orvalin if it is not running.</translation>
    </message>
    <message>
        <source>option inconnue : %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>argument inattendu : %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>orvalin : %1</source>
        <translation>orvalin: %1</translation>
    </message>
    <message>
        <source>orvalin : impossible d&apos;ouvrir l&apos;affichage X (DISPLAY=%1)</source>
        <translation>orvalin: cannot open the X display (DISPLAY=%1)</translation>
    </message>
    <message>
        <source>le compositeur Wayland (%1) ne répond pas</source>
        <translation>the Wayland compositor (%1) does not answer</translation>
    </message>
    <message>
        <source>ce compositeur Wayland n&apos;offre pas la méthode de saisie et le clavier virtuel (%1)</source>
        <translation>this Wayland compositor offers no input method and virtual keyboard (%1)</translation>
    </message>
    <message>
        <source>une autre méthode de saisie (fcitx5, IBus…) occupe déjà le clavier</source>
        <translation>another input method (fcitx5, IBus…) already holds the keyboard</translation>
    </message>
    <message>
        <source>chemin de socket trop long : %1</source>
        <translation>socket path too long: %1</translation>
    </message>
    <message>
        <source>orvalin : le programme qui tient le presse-papiers ne répond pas ; rien n&apos;est inséré, pour ne pas perdre son contenu</source>
        <translation>orvalin: the program holding the clipboard does not answer; nothing is inserted, so that its content is not lost</translation>
    </message>
    <message>
        <source>orvalin : le programme qui tient la sélection ne répond pas ; rien n&apos;est inséré, pour ne pas perdre son contenu</source>
        <translation>orvalin: the program holding the selection does not answer; nothing is inserted, so that its content is not lost</translation>
    </message>
    <message>
        <source>orvalin : le programme qui tient la sélection ne répond pas ; elle est laissée telle quelle</source>
        <translation>orvalin: the program holding the selection does not answer; it is left as it is</translation>
    </message>
    <message>
        <source>le dossier %1 est inaccessible (%2)</source>
        <translation>the folder %1 cannot be reached (%2)</translation>
    </message>
    <message>
        <source>le dossier %1 est un lien symbolique</source>
        <translation>the folder %1 is a symbolic link</translation>
    </message>
    <message>
        <source>%1 n&apos;est pas un dossier</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <source>le dossier %1 appartient à un autre utilisateur (uid %2)</source>
        <translation>the folder %1 belongs to another user (uid %2)</translation>
    </message>
    <message>
        <source>le dossier %1 a les droits %2 au lieu de 0700</source>
        <translation>the folder %1 has permissions %2 instead of 0700</translation>
    </message>
    <message>
        <source>connexion au compositeur Wayland perdue</source>
        <translation>connection to the Wayland compositor lost</translation>
    </message>
    <message>
        <source>une autre méthode de saisie occupe déjà le clavier</source>
        <translation>another input method already holds the keyboard</translation>
    </message>
    <message>
        <source>pas de connexion au serveur X</source>
        <translation>no connection to the X server</translation>
    </message>
    <message>
        <source>le serveur X n&apos;offre pas l&apos;extension RECORD</source>
        <translation>the X server does not offer the RECORD extension</translation>
    </message>
    <message>
        <source>le serveur X n&apos;offre pas l&apos;extension XKB</source>
        <translation>the X server does not offer the XKB extension</translation>
    </message>
    <message>
        <source>le serveur X refuse l&apos;enregistrement des touches (RECORD)</source>
        <translation>the X server refuses to record the keys (RECORD)</translation>
    </message>
    <message>
        <source>seconde connexion au serveur X impossible</source>
        <translation>cannot open a second connection to the X server</translation>
    </message>
    <message>
        <source>le serveur X ne répond pas</source>
        <translation>the X server does not answer</translation>
    </message>
    <message>
        <source>extensions X absentes : %1</source>
        <translation>missing X extensions: %1</translation>
    </message>
    <message>
        <source>orvalin : aucune touche de la disposition du clavier ne donne « %1 » : la date n&apos;est pas collée</source>
        <translation>orvalin: no key of the keyboard layout gives “%1”: the date is not pasted</translation>
    </message>
    <message>
        <source>Retour arrière</source>
        <translation>Backspace</translation>
    </message>
    <message>
        <source>Inser</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Maj</source>
        <translation>Shift</translation>
    </message>
    <message>
        <source>Ctrl</source>
        <translation>Ctrl</translation>
    </message>
    <message>
        <source>le chemin du programme contient un caractère de contrôle</source>
        <translation>the program&apos;s path contains a control character</translation>
    </message>
    <message>
        <source>IBus ne répond pas</source>
        <translation>IBus does not answer</translation>
    </message>
    <message>
        <source>Orvalin n&apos;est pas la source de saisie active</source>
        <translation>Orvalin is not the active input source</translation>
    </message>
    <message>
        <source>aucun champ de saisie n&apos;a reçu le focus à temps</source>
        <translation>no text field got the focus in time</translation>
    </message>
    <message>
        <source>une autre instance d&apos;Orvalin fournit déjà la source de saisie</source>
        <translation>another instance of Orvalin already provides the input source</translation>
    </message>
    <message>
        <source>Comment atteindre les applications : auto (selon la session), x11, wayland (compositeurs wlroots) ou ibus (GNOME, KDE Plasma).</source>
        <translation>How to reach the applications: auto (from the session), x11, wayland (wlroots compositors) or ibus (GNOME, KDE Plasma).</translation>
    </message>
    <message>
        <source>voie</source>
        <translation>route</translation>
    </message>
    <message>
        <source>voie inconnue : %1</source>
        <translation>unknown route: %1</translation>
    </message>
    <message>
        <source>orvalin : la voie %1 ne s&apos;ouvre pas : %2</source>
        <translation>orvalin: the %1 route cannot be opened: %2</translation>
    </message>
    <message>
        <source>orvalin : date non insérée : %1</source>
        <translation>orvalin: date not inserted: %1</translation>
    </message>
    <message>
        <source>Orvalin n&apos;est pas la source de saisie — Aide…</source>
        <translation>Orvalin is not the input source — Help…</translation>
    </message>
    <message>
        <source>pas de session Wayland (WAYLAND_DISPLAY est vide)</source>
        <translation>no Wayland session (WAYLAND_DISPLAY is empty)</translation>
    </message>
    <message>
        <source>Ouvrir le panneau d&apos;Orvalin</source>
        <translation>Open the Orvalin panel</translation>
    </message>
    <message>
        <source>Préférences…</source>
        <translation>Preferences…</translation>
    </message>
</context>
<context>
    <name>orvalin::ShortcutCaptureWidget</name>
    <message>
        <source>Appuyer sur une touche…</source>
        <comment>Shortcut capture — recording state prompt</comment>
        <translation>Press a key…</translation>
    </message>
    <message>
        <source>Cliquer pour assigner</source>
        <comment>Shortcut capture — idle state placeholder</comment>
        <translation>Click to assign</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::AboutTab</name>
    <message>
        <source>Version %1 beta (build %2)</source>
        <translation>Version %1 beta (build %2)</translation>
    </message>
    <message>
        <source>Icône d&apos;Orvalin</source>
        <translation>Orvalin icon</translation>
    </message>
    <message>
        <source>BÊTA</source>
        <translation>BETA</translation>
    </message>
    <message>
        <source>Orvalin : La date dans toutes vos apps !</source>
        <translation>Orvalin: the date in all your apps!</translation>
    </message>
    <message>
        <source>Site web</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>Signaler un problème</source>
        <translation>Report a problem</translation>
    </message>
    <message>
        <source>Politique de confidentialité</source>
        <translation>Privacy policy</translation>
    </message>
    <message>
        <source>Aucune donnée collectée</source>
        <translation>No data collected</translation>
    </message>
    <message>
        <source>© 2026 Orvalin. Tous droits réservés.</source>
        <translation>© 2026 Orvalin. All rights reserved.</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::CalendarDayCell</name>
    <message>
        <source>aujourd&apos;hui</source>
        <translation>today</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::CalendarToggle</name>
    <message>
        <source>Choisir une date</source>
        <translation>Pick a date</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::ConflictMark</name>
    <message>
        <source>Déjà utilisé</source>
        <translation>Already used</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::DayOffsetField</name>
    <message>
        <source>Aujourd&apos;hui</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>Demain</source>
        <translation>Tomorrow</translation>
    </message>
    <message>
        <source>Hier</source>
        <translation>Yesterday</translation>
    </message>
    <message>
        <source>Autre…</source>
        <translation>Other…</translation>
    </message>
    <message>
        <source> j</source>
        <translation> d</translation>
    </message>
    <message>
        <source>Jours après aujourd&apos;hui ; un nombre négatif compte les jours avant</source>
        <translation>Days after today; a negative number counts days before</translation>
    </message>
    <message>
        <source>Jour inséré par %1</source>
        <translation>Day inserted by %1</translation>
    </message>
    <message>
        <source>Nombre de jours pour %1</source>
        <translation>Number of days for %1</translation>
    </message>
    <message>
        <source>aujourd&apos;hui</source>
        <translation>today</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::DefaultFormatPicker</name>
    <message>
        <source>Format par défaut</source>
        <translation>Default format</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::FormatCard</name>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Déclencheur</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>Raccourci</source>
        <translation>Shortcut</translation>
    </message>
    <message>
        <source>Nom</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Supprimer ce format</source>
        <translation>Delete this format</translation>
    </message>
    <message>
        <source>ex: dt </source>
        <translation>e.g. dt </translation>
    </message>
    <message>
        <source>Ce déclencheur est déjà utilisé par un autre format</source>
        <translation>Another format already uses this trigger</translation>
    </message>
    <message>
        <source>Ce raccourci est déjà assigné à un autre format</source>
        <translation>Another format already has this shortcut</translation>
    </message>
    <message>
        <source>Supprimer le raccourci</source>
        <translation>Remove the shortcut</translation>
    </message>
    <message>
        <source>sans nom</source>
        <translation>unnamed</translation>
    </message>
    <message>
        <source>Nom du format %1</source>
        <translation>Name of the %1 format</translation>
    </message>
    <message>
        <source>Supprimer le format %1</source>
        <translation>Delete the %1 format</translation>
    </message>
    <message>
        <source>Aperçu du format %1</source>
        <translation>Preview of the %1 format</translation>
    </message>
    <message>
        <source>Déclencheur de %1</source>
        <translation>Trigger for %1</translation>
    </message>
    <message>
        <source>Raccourci clavier de %1</source>
        <translation>Keyboard shortcut for %1</translation>
    </message>
    <message>
        <source>Supprimer le raccourci de %1</source>
        <translation>Remove the shortcut for %1</translation>
    </message>
    <message>
        <source>Jour</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Langue</source>
        <translation>Language</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::FormatPickerField</name>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Formats prédéfinis</source>
        <translation>Preset formats</translation>
    </message>
    <message>
        <source>Référence des codes de format</source>
        <translation>Format code reference</translation>
    </message>
    <message>
        <source>Format de date de %1</source>
        <translation>Date format for %1</translation>
    </message>
    <message>
        <source>Formats prédéfinis pour %1</source>
        <translation>Preset formats for %1</translation>
    </message>
    <message>
        <source>Référence des codes de format pour %1</source>
        <translation>Format code reference for %1</translation>
    </message>
    <message>
        <source>Court — 20/03/2026</source>
        <translation>Short — 20/03/2026</translation>
    </message>
    <message>
        <source>Moyen — 20 mars 2026</source>
        <translation>Medium — 20 March 2026</translation>
    </message>
    <message>
        <source>Long — vendredi 20 mars 2026</source>
        <translation>Long — Friday 20 March 2026</translation>
    </message>
    <message>
        <source>ISO 8601 — 2026-03-20</source>
        <translation>ISO 8601 — 2026-03-20</translation>
    </message>
    <message>
        <source>Américain — 03/20/2026</source>
        <translation>American — 03/20/2026</translation>
    </message>
    <message>
        <source>Abrégé — 20 mar. 2026</source>
        <translation>Abbreviated — 20 Mar 2026</translation>
    </message>
    <message>
        <source>Européen — 20.03.2026</source>
        <translation>European — 20.03.2026</translation>
    </message>
    <message>
        <source>Date + heure — 20/03/2026 14:30</source>
        <translation>Date + time — 20/03/2026 14:30</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::FormatReferenceView</name>
    <message>
        <source>Année</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>Année sur 4 chiffres  ex : 2026</source>
        <translation>Year, 4 digits        e.g. 2026</translation>
    </message>
    <message>
        <source>Année sur 2 chiffres  ex : 26</source>
        <translation>Year, 2 digits        e.g. 26</translation>
    </message>
    <message>
        <source>Mois</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>Nom complet            ex : mars</source>
        <translation>Full name              e.g. March</translation>
    </message>
    <message>
        <source>Nom abrégé             ex : mar.</source>
        <translation>Short name             e.g. Mar</translation>
    </message>
    <message>
        <source>Numéro avec zéro       ex : 03</source>
        <translation>Number with zero       e.g. 03</translation>
    </message>
    <message>
        <source>Numéro sans zéro       ex : 3</source>
        <translation>Number without zero    e.g. 3</translation>
    </message>
    <message>
        <source>Jour</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Jour avec zéro         ex : 05</source>
        <translation>Day with zero          e.g. 05</translation>
    </message>
    <message>
        <source>Jour sans zéro         ex : 5</source>
        <translation>Day without zero       e.g. 5</translation>
    </message>
    <message>
        <source>Jour de l&apos;année        ex : 79</source>
        <translation>Day of the year        e.g. 79</translation>
    </message>
    <message>
        <source>Jour de la semaine</source>
        <translation>Weekday</translation>
    </message>
    <message>
        <source>Nom complet            ex : vendredi</source>
        <translation>Full name              e.g. Friday</translation>
    </message>
    <message>
        <source>Nom abrégé             ex : ven.</source>
        <translation>Short name             e.g. Fri</translation>
    </message>
    <message>
        <source>Numéro (lundi = 2)     ex : 6</source>
        <translation>Number (Monday = 2)    e.g. 6</translation>
    </message>
    <message>
        <source>Heure (24 h)</source>
        <translation>Hour (24 h)</translation>
    </message>
    <message>
        <source>Heure avec zéro        ex : 08</source>
        <translation>Hour with zero         e.g. 08</translation>
    </message>
    <message>
        <source>Heure sans zéro        ex : 8</source>
        <translation>Hour without zero      e.g. 8</translation>
    </message>
    <message>
        <source>Heure (12 h)</source>
        <translation>Hour (12 h)</translation>
    </message>
    <message>
        <source>AM / PM                ex : AM</source>
        <translation>AM / PM                e.g. AM</translation>
    </message>
    <message>
        <source>Minutes &amp; secondes</source>
        <translation>Minutes &amp; seconds</translation>
    </message>
    <message>
        <source>Minutes avec zéro      ex : 04</source>
        <translation>Minutes with zero      e.g. 04</translation>
    </message>
    <message>
        <source>Secondes avec zéro     ex : 09</source>
        <translation>Seconds with zero      e.g. 09</translation>
    </message>
    <message>
        <source>Séparateurs</source>
        <translation>Separators</translation>
    </message>
    <message>
        <source>Caractères littéraux</source>
        <translation>Literal characters</translation>
    </message>
    <message>
        <source>Texte entre apostrophes</source>
        <translation>Text in single quotes</translation>
    </message>
    <message>
        <source>Codes de format</source>
        <translation>Format codes</translation>
    </message>
    <message>
        <source>/  -  .  espace</source>
        <translation>/  -  .  space</translation>
    </message>
    <message>
        <source>&apos;texte&apos;</source>
        <translation>&apos;text&apos;</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::FormatRow</name>
    <message>
        <source>déclencheur %1</source>
        <translation>trigger %1</translation>
    </message>
    <message>
        <source>raccourci %1</source>
        <translation>shortcut %1</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::FormatsTab</name>
    <message>
        <source>Calendrier</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>Format utilisé lors d&apos;un clic dans le mini-calendrier de la zone de notification.</source>
        <translation>Format used when you click a day in the tray&apos;s mini calendar.</translation>
    </message>
    <message>
        <source>Déclencheurs &amp; raccourcis</source>
        <translation>Triggers &amp; shortcuts</translation>
    </message>
    <message>
        <source>Chaque format peut être inséré via un déclencheur texte ou un raccourci clavier global.</source>
        <translation>Each format can be inserted with a text trigger or a global keyboard shortcut.</translation>
    </message>
    <message>
        <source>Format par défaut</source>
        <translation>Default format</translation>
    </message>
    <message>
        <source>Ajouter un format</source>
        <translation>Add a format</translation>
    </message>
    <message>
        <source>Nouveau</source>
        <translation>New</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::GeneralTab</name>
    <message>
        <source>Général</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Comment ça marche</source>
        <translation>How it works</translation>
    </message>
    <message>
        <source>Lancer au démarrage</source>
        <translation>Launch at login</translation>
    </message>
    <message>
        <source>Apparence</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Système</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Clair</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Sombre</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>Expansion de texte désactivée</source>
        <translation>Text expansion disabled</translation>
    </message>
    <message>
        <source>Afficher l&apos;aide…</source>
        <translation>Show help…</translation>
    </message>
    <message>
        <source>Déclencheur texte</source>
        <translation>Text trigger</translation>
    </message>
    <message>
        <source>Tapez le déclencheur d&apos;un format (ex : « dt ») dans n&apos;importe quelle app — la date est insérée automatiquement.</source>
        <translation>Type a format&apos;s trigger (e.g. “dt”) in any app — the date is inserted automatically.</translation>
    </message>
    <message>
        <source>Raccourci clavier</source>
        <translation>Keyboard shortcut</translation>
    </message>
    <message>
        <source>Assignez un raccourci global à chaque format dans l&apos;onglet Formats. Il fonctionne dans toutes les applications.</source>
        <translation>Assign a global shortcut to each format in the Formats tab. It works in every application.</translation>
    </message>
    <message>
        <source>Calendrier</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>Cliquez sur l&apos;icône dans la zone de notification, ouvrez le calendrier et sélectionnez n&apos;importe quelle date.</source>
        <translation>Click the icon in the system tray, open the calendar and pick any date.</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::LocalePicker</name>
    <message>
        <source>Rechercher une langue</source>
        <translation>Search for a language</translation>
    </message>
    <message>
        <source>Langue inconnue : la date est écrite dans la langue du système</source>
        <translation>Unknown language: the date is written in the system language</translation>
    </message>
    <message>
        <source>Langue de %1</source>
        <translation>Language of %1</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::MenuBarPanel</name>
    <message>
        <source>Orvalin</source>
        <translation>Orvalin</translation>
    </message>
    <message>
        <source>β</source>
        <translation>β</translation>
    </message>
    <message>
        <source>bêta</source>
        <translation>beta</translation>
    </message>
    <message>
        <source>Aujourd&apos;hui</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>Expansion de texte désactivée — Aide…</source>
        <translation>Text expansion disabled — Help…</translation>
    </message>
    <message>
        <source>Préférences…</source>
        <translation>Preferences…</translation>
    </message>
    <message>
        <source>Quitter Orvalin</source>
        <translation>Quit Orvalin</translation>
    </message>
    <message>
        <source>Date non insérée : %1</source>
        <translation>Date not inserted: %1</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::MiniCalendarView</name>
    <message>
        <source>Calendrier</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>Mois précédent</source>
        <translation>Previous month</translation>
    </message>
    <message>
        <source>Mois suivant</source>
        <translation>Next month</translation>
    </message>
    <message>
        <source>semaine %1</source>
        <translation>week %1</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::OrvalinApp</name>
    <message>
        <source>Orvalin</source>
        <translation>Orvalin</translation>
    </message>
    <message>
        <source>Préférences…</source>
        <translation>Preferences…</translation>
    </message>
    <message>
        <source>Quitter Orvalin</source>
        <translation>Quit Orvalin</translation>
    </message>
    <message>
        <source>Préférences Orvalin</source>
        <translation>Orvalin Preferences</translation>
    </message>
    <message>
        <source>Bienvenue dans Orvalin</source>
        <translation>Welcome to Orvalin</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::PageIndicator</name>
    <message>
        <source>Étape %1 sur %2</source>
        <translation>Step %1 of %2</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::PermissionStep</name>
    <message>
        <source>Aucune frappe n&apos;est enregistrée ni transmise.</source>
        <translation>No keystroke is recorded or sent anywhere.</translation>
    </message>
    <message>
        <source>Continuer</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>Afficher l&apos;aide</source>
        <translation>Show help</translation>
    </message>
    <message>
        <source>Passer pour l&apos;instant</source>
        <translation>Skip for now</translation>
    </message>
    <message>
        <source>Permission accordée ✓</source>
        <translation>Permission granted ✓</translation>
    </message>
    <message>
        <source>L&apos;expansion de texte et les raccourcis clavier sont actifs.</source>
        <translation>Text expansion and keyboard shortcuts are on.</translation>
    </message>
    <message>
        <source>Autorisation nécessaire</source>
        <translation>Permission needed</translation>
    </message>
    <message>
        <source>Pour détecter vos déclencheurs et insérer la date,
Orvalin doit surveiller les touches clavier.</source>
        <translation>To spot your triggers and insert the date,
Orvalin needs to watch the keyboard.</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::ReadyStep</name>
    <message>
        <source>Tout est prêt !</source>
        <translation>All set!</translation>
    </message>
    <message>
        <source>Tapez l&apos;un de ces déclencheurs dans n&apos;importe quelle app :</source>
        <translation>Type one of these triggers in any app:</translation>
    </message>
    <message>
        <source>Lancer Orvalin à l&apos;ouverture de session</source>
        <translation>Launch Orvalin at login</translation>
    </message>
    <message>
        <source>Commencer à utiliser Orvalin</source>
        <translation>Start using Orvalin</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::SettingsView</name>
    <message>
        <source>Préférences Orvalin</source>
        <translation>Orvalin Preferences</translation>
    </message>
    <message>
        <source>Général</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Formats</source>
        <translation>Formats</translation>
    </message>
    <message>
        <source>À propos</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>orvalin::ui::WelcomeStep</name>
    <message>
        <source>Bienvenue dans Orvalin</source>
        <translation>Welcome to Orvalin</translation>
    </message>
    <message>
        <source>Insérez des dates instantanément
dans n&apos;importe quelle application.</source>
        <translation>Insert dates instantly
into any application.</translation>
    </message>
    <message>
        <source>Commencer</source>
        <translation>Get started</translation>
    </message>
    <message>
        <source>Déclencheurs</source>
        <translation>Triggers</translation>
    </message>
    <message>
        <source>Raccourcis</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>Calendrier</source>
        <translation>Calendar</translation>
    </message>
</context>
</TS>
