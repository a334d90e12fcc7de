object ComCtlForm: TComCtlForm
  Left = 20
  Top = 20
  Caption = 'Common controls'
  ClientHeight = 420
  ClientWidth = 600
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 600
    Height = 30
    ButtonWidth = 50
    ButtonHeight = 24
    Flat = True
    ShowCaptions = True
    EdgeBorders = [ebTop, ebBottom]
    object ToolButton1: TToolButton
      Caption = 'New'
      ImageIndex = 0
      Hint = 'New word list'
    end
    object ToolButton2: TToolButton
      Style = tbsSeparator
    end
    object ToolButton3: TToolButton
      Caption = 'Bold'
      Style = tbsCheck
      Down = True
      Grouped = True
    end
  end
  object CoolBar1: TCoolBar
    Left = 0
    Top = 30
    Width = 600
    Height = 30
    Bands = <
      item
        Control = Edit2
        Text = 'Find'
        Width = 250
        MinHeight = 22
      end
      item
        Break = False
        Text = 'Empty'
        Width = 200
      end>
    object Edit2: TEdit
      Left = 40
      Top = 2
      Width = 150
      Height = 21
      Text = 'band'
    end
  end
  object StatusBar1: TStatusBar
    Left = 0
    Top = 400
    Width = 600
    Height = 20
    Panels = <
      item
        Text = 'Ready'
        Width = 80
      end
      item
        Alignment = taCenter
        Bevel = pbRaised
        Text = 'Middle'
        Width = 120
      end
      item
        Style = psOwnerDraw
      end>
    SizeGrip = False
  end
  object PageControl1: TPageControl
    Left = 8
    Top = 64
    Width = 584
    Height = 330
    ActivePage = TabSheet2
    OnChange = PageControl1Change
    object TabSheet1: TTabSheet
      Caption = 'Ranges'
      object ProgressBar1: TProgressBar
        Left = 8
        Top = 8
        Width = 200
        Height = 16
        Position = 30
        Step = 5
        Smooth = True
      end
      object ProgressBar2: TProgressBar
        Left = 220
        Top = 8
        Width = 16
        Height = 100
        Min = 10
        Max = 50
        Position = 20
        Orientation = pbVertical
      end
      object TrackBar1: TTrackBar
        Left = 8
        Top = 40
        Width = 200
        Height = 45
        Max = 20
        Position = 5
        Frequency = 5
        TickMarks = tmBoth
        PageSize = 4
        LineSize = 2
        SelStart = 2
        SelEnd = 8
        OnChange = TrackBar1Change
      end
      object Edit1: TEdit
        Left = 8
        Top = 100
        Width = 60
        Height = 21
        Text = '0'
      end
      object UpDown1: TUpDown
        Left = 68
        Top = 100
        Width = 17
        Height = 21
        Associate = Edit1
        Min = -5
        Max = 5
        Position = 2
        Wrap = True
        Thousands = False
      end
      object DateTimePicker1: TDateTimePicker
        Left = 8
        Top = 140
        Width = 200
        Height = 21
        Date = '2024-02-29'
        Time = '13:45:10'
        DateFormat = dfLong
        ShowCheckbox = True
      end
      object DateTimePicker2: TDateTimePicker
        Left = 8
        Top = 170
        Width = 120
        Height = 21
        Date = '1999-12-31'
        Time = '23:59:58'
        Kind = dtkTime
        DateMode = dmUpDown
      end
    end
    object TabSheet2: TTabSheet
      Caption = 'Lists'
      ImageIndex = 1
      object HeaderControl1: THeaderControl
        Left = 0
        Top = 0
        Width = 576
        Height = 20
        Sections = <
          item
            Text = 'Word'
            Width = 120
            MinWidth = 40
            MaxWidth = 300
          end
          item
            Alignment = taRightJustify
            AllowClick = False
            Text = 'Count'
            Width = 60
          end
          item
            Style = hsOwnerDraw
            Text = 'Drawn'
          end>
      end
      object ListView1: TListView
        Left = 8
        Top = 28
        Width = 300
        Height = 150
        Columns = <
          item
            Caption = 'Fruit'
            Width = 100
          end
          item
            Alignment = taCenter
            Caption = 'Colour'
            Width = 80
          end
          item
            Caption = 'Taste'
            Width = 70
          end>
        Items = <
          item
            Caption = 'apple'
            ImageIndex = 1
            SubItems.Strings = (
              'red'
              'sweet')
          end
          item
            Caption = 'lemon'
            Checked = True
            Selected = True
            SubItems.Strings = (
              'yellow')
          end>
        ViewStyle = vsReport
        RowSelect = True
        GridLines = True
        Checkboxes = True
        ReadOnly = True
        HideSelection = False
        MultiSelect = True
      end
      object TreeView1: TTreeView
        Left = 320
        Top = 28
        Width = 200
        Height = 150
        Items.Strings = (
          'Fruit'
          ' Apple'
          '  Red apple'
          ' Lemon'
          'Vegetables'
          ' Leek')
        ShowLines = False
        ReadOnly = True
        HideSelection = False
      end
    end
    object TabSheet3: TTabSheet
      Caption = 'Tabs'
      object TabControl1: TTabControl
        Left = 8
        Top = 8
        Width = 300
        Height = 120
        Tabs.Strings = (
          'One'
          'Two'
          'Three')
        TabIndex = 1
        TabPosition = tpBottom
        Style = tsButtons
        TabWidth = 60
      end
    end
    object TabSheet4: TTabSheet
      Caption = 'Hidden'
      TabVisible = False
    end
    object TabSheet5: TTabSheet
      Caption = 'Media'
      object MediaPlayer1: TMediaPlayer
        Left = 8
        Top = 8
        Width = 120
        Height = 30
        DeviceType = dtWaveAudio
        FileName = 'missing.wav'
        AutoEnable = False
        VisibleButtons = [btPlay, btPause, btStop, btEject]
        EnabledButtons = [btPlay, btStop]
        ColoredButtons = [btPlay]
      end
    end
  end
end
