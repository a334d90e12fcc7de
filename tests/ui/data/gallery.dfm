object Gallery: TGalleryForm
  Left = 40
  Top = 30
  BorderIcons = [biSystemMenu, biMinimize]
  BorderStyle = bsSingle
  Caption = 'Gallery '#22270#29255
  ClientHeight = 300
  ClientWidth = 420
  Color = clBtnFace
  ActiveControl = Edit1
  OnCreate = FormCreate
  OnShow = FormShow
  object Panel2: TPanel
    Left = 0
    Top = 200
    Width = 420
    Height = 100
    Align = alBottom
    BevelOuter = bvLowered
    Caption = 'Panel2'
    TabOrder = 1
    object Memo1: TMemo
      Left = 1
      Top = 1
      Width = 418
      Height = 98
      Align = alClient
      Color = clWhite
      Ctl3D = False
      Lines.Strings = (
        'first line'
        'second line '#20013#25991)
      ScrollBars = ssVertical
      TabOrder = 0
    end
  end
  object Splitter1: TSplitter
    Left = 0
    Top = 197
    Width = 420
    Height = 3
    Cursor = crVSplit
    Align = alBottom
    Color = clActiveCaption
    MinSize = 30
  end
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 420
    Height = 197
    Align = alClient
    BorderStyle = bsSingle
    BevelOuter = bvNone
    Caption = ''
    TabOrder = 0
    object Label1: TLabel
      Left = 12
      Top = 12
      Caption = 'Keyword '#20851#38190#23383':'
    end
    object Edit1: TEdit
      Left = 12
      Top = 32
      Width = 180
      Height = 22
      Color = clWhite
      Ctl3D = False
      Font.Color = clBlue
      Font.Height = -13
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsBold]
      ParentFont = False
      Hint = 'Type a word'
      ShowHint = True
      Text = 'apple'
      TabOrder = 1
      OnExit = Edit1Exit
      OnKeyPress = Edit1KeyPress
    end
    object Button1: TButton
      Left = 200
      Top = 31
      Width = 75
      Height = 24
      Caption = 'Search '#26597#35810
      Hint = 'Look the word up'
      ShowHint = True
      TabOrder = 0
      OnClick = Button1Click
    end
    object Button2: TButton
      Left = 284
      Top = 31
      Width = 75
      Height = 24
      Caption = 'Disabled'
      Enabled = False
      TabOrder = 2
    end
    object Panel3: TPanel
      Left = 12
      Top = 70
      Width = 180
      Height = 60
      BevelInner = bvLowered
      BevelWidth = 2
      Caption = 'Raised + lowered'
      TabOrder = 3
    end
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 50
    OnTimer = Timer1Timer
  end
  object Blob1: TBlob
    Data = {
      0500000001020304AA}
  end
end
